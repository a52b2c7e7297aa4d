#include "tdf_file.h"
#include "../core/library_rules.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

// Vendor headers are about 50 bytes; anything longer than this is not a 3DF header.
const size_t headerLimit = 1024;

// The header as the vendor's tools write it, one field group per line. A blank in the pattern matches
// any run of white space, line ends included, as a formatted scan would.
const char *const headerPattern = "3df v%s %s lod range: %i %i aspect ratio: %i %i";

struct Cursor {
    const unsigned char *bytes;
    size_t length;
    size_t at;
};

bool isSpace(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

void skipSpace(Cursor *cursor) {
    while (cursor->at < cursor->length && isSpace(cursor->bytes[cursor->at]))
        ++cursor->at;
}

bool scanWord(Cursor *cursor, char *word) {
    skipSpace(cursor);
    int count = 0;
    while (cursor->at < cursor->length && !isSpace(cursor->bytes[cursor->at])) {
        if (count == tdfWordLimit) return false;
        word[count++] = static_cast<char>(cursor->bytes[cursor->at++]);
    }
    word[count] = '\0';
    return count > 0;
}

int digitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// An integer with the prefixes of %i: 0x for hexadecimal, a leading 0 for octal. Values that do not
// fit in an int are refused.
bool scanInteger(Cursor *cursor, int *value) {
    skipSpace(cursor);
    const unsigned char *bytes = cursor->bytes;
    size_t at = cursor->at;
    bool negative = false;
    if (at < cursor->length && (bytes[at] == '+' || bytes[at] == '-')) negative = bytes[at++] == '-';
    int base = 10;
    if (at < cursor->length && bytes[at] == '0') {
        base = 8;
        if (at + 2 < cursor->length && (bytes[at + 1] == 'x' || bytes[at + 1] == 'X') &&
            digitValue(bytes[at + 2]) < 16)
            base = 16, at += 2;
    }
    int64_t magnitude = 0;
    size_t digits = 0;
    while (at < cursor->length && digitValue(bytes[at]) < base) {
        magnitude = magnitude * base + digitValue(bytes[at++]);
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1) return false;
        ++digits;
    }
    if (digits == 0) return false;
    if (!negative && magnitude > INT32_MAX) return false;
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    cursor->at = at;
    return true;
}

uint16_t bigEndian16(const unsigned char *bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

uint32_t bigEndian32(const unsigned char *bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

int log2OfSize(int size) {
    for (int i = 0; i < 9; ++i)
        if (size == 1 << i) return i;
    return -1;
}

bool hasPalette(int format) {
    return format == texFmtP8 || format == texFmtAp88;
}

bool hasNccTable(int format) {
    return format == texFmtYiq422 || format == texFmtAyiq8422;
}

int bytesPerTexel(int format) {
    return format >= texFmt16Bit ? 2 : 1;
}

// 16 Y values, then 4 x 3 I values, then 4 x 3 Q values: 40 big-endian 16-bit numbers.
const size_t nccTableBytes = 80;

void unpackNccTable(const unsigned char *bytes, NccTable *table) {
    for (int i = 0; i < 16; ++i)
        table->yRGB[i] = static_cast<FxU8>(bigEndian16(bytes + 2 * i) & 0xFF);
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 3; ++j) {
            table->iRGB[k][j] = static_cast<FxI16>(bigEndian16(bytes + 32 + 2 * (3 * k + j)) & 0x1FF);
            table->qRGB[k][j] = static_cast<FxI16>(bigEndian16(bytes + 56 + 2 * (3 * k + j)) & 0x1FF);
        }
    // The packed words are the table as the hardware takes it: Y bytes four to a word, then one
    // word of three 9-bit fields per I entry and per Q entry.
    for (int k = 0; k < 4; ++k) {
        const FxU8 *y = table->yRGB + 4 * k;
        table->packedData[k] = static_cast<FxU32>(y[0]) | static_cast<FxU32>(y[1]) << 8 |
                               static_cast<FxU32>(y[2]) << 16 | static_cast<FxU32>(y[3]) << 24;
        const FxI16 *iEntry = table->iRGB[k];
        const FxI16 *qEntry = table->qRGB[k];
        table->packedData[4 + k] = (static_cast<FxU32>(iEntry[0]) & 0x1FF) << 18 |
                                   (static_cast<FxU32>(iEntry[1]) & 0x1FF) << 9 |
                                   (static_cast<FxU32>(iEntry[2]) & 0x1FF);
        table->packedData[8 + k] = (static_cast<FxU32>(qEntry[0]) & 0x1FF) << 18 |
                                   (static_cast<FxU32>(qEntry[1]) & 0x1FF) << 9 |
                                   (static_cast<FxU32>(qEntry[2]) & 0x1FF);
    }
}

// Opens the file and reads its header; the stream is left at the first data byte.
FILE *openAtData(const char *filename, TdfHeader *header) {
    if (!filename) return NULL;
    // Binary mode in both calls: the data offset must not depend on the C runtime's line-end handling.
    FILE *file = fopen(filename, "rb");
    if (!file) return NULL;
    unsigned char bytes[headerLimit];
    size_t length = fread(bytes, 1, sizeof(bytes), file);
    size_t headerSize = 0;
    bool parsed = parseTdfHeader(bytes, length, header, &headerSize);
    // A header that runs to the end of a full buffer may go on beyond it.
    if (parsed && headerSize == sizeof(bytes)) parsed = false;
    if (!parsed || fseek(file, static_cast<long>(headerSize), SEEK_SET) != 0) {
        fclose(file);
        return NULL;
    }
    return file;
}

// Bytes left from the current position, or -1 when the stream cannot tell.
long bytesLeft(FILE *file) {
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// log2 of the side of a level, -1 for a level the library has not.
int sideLog2Of(int lod, const TdfRules &rules) {
    int sizeLog2 = -1;
    for (int i = 0; i < 9; ++i)
        if (rules.lodOfLog2Size[i] == lod) sizeLog2 = i;
    return sizeLog2;
}

// Texels of the levels from the largest down to the info record's smallest, a short side stopping at one.
size_t chainTexels(const TdfInfo &header, const TdfRules &rules, FxU32 width, FxU32 height) {
    int levels = sideLog2Of(header.largeLod, rules) - sideLog2Of(header.smallLod, rules) + 1;
    if (sideLog2Of(header.smallLod, rules) < 0 || levels < 1) levels = 1;
    size_t texels = 0;
    for (int level = 0; level < levels; ++level) {
        FxU32 w = width >> level, h = height >> level;
        texels += static_cast<size_t>(w ? w : 1) * (h ? h : 1);
    }
    return texels;
}

// Texel dimensions of the largest level from the info record's level and aspect ratio.
bool largestLevelSize(const TdfInfo &header, const TdfRules &rules, FxU32 *width, FxU32 *height) {
    int sizeLog2 = sideLog2Of(header.largeLod, rules);
    int aspectIndex = -1;
    for (int i = 0; i < 7; ++i)
        if (rules.aspectValues[i] == header.aspectRatio) aspectIndex = i;
    if (sizeLog2 < 0 || aspectIndex < 0) return false;
    *width = *height = 1u << sizeLog2;
    if (aspectIndex < 3) *height >>= 3 - aspectIndex;
    if (aspectIndex > 3) *width >>= aspectIndex - 3;
    return true;
}

} // namespace

bool parseTdfHeader(const unsigned char *bytes, size_t length, TdfHeader *header, size_t *headerSize) {
    if (!bytes || !header || !headerSize) return false;
    Cursor cursor = {bytes, length, 0};
    int *numbers[4] = {&header->smallestSize, &header->largestSize, &header->aspectWidthTerm,
                       &header->aspectHeightTerm};
    char *words[2] = {header->version, header->formatWord};
    int wordsRead = 0;
    int numbersRead = 0;
    for (const char *p = headerPattern; *p; ++p) {
        if (*p == ' ') {
            skipSpace(&cursor);
        } else if (p[0] == '%' && p[1] == 's') {
            if (!scanWord(&cursor, words[wordsRead++])) return false;
            ++p;
        } else if (p[0] == '%' && p[1] == 'i') {
            if (!scanInteger(&cursor, numbers[numbersRead++])) return false;
            ++p;
        } else {
            if (cursor.at >= cursor.length || cursor.bytes[cursor.at] != static_cast<unsigned char>(*p))
                return false;
            ++cursor.at;
        }
    }
    // The header ends with the line of the aspect terms. Data follows its line end at once and may
    // itself begin with bytes that look like white space, so nothing beyond the line end is taken.
    while (cursor.at < cursor.length && cursor.bytes[cursor.at] != '\n' && isSpace(cursor.bytes[cursor.at]))
        ++cursor.at;
    if (cursor.at < cursor.length) {
        if (cursor.bytes[cursor.at] != '\n') return false;
        ++cursor.at;
    }
    *headerSize = cursor.at;
    return true;
}

int tdfFormatFromWord(const char *word) {
    static const struct {
        const char *word;
        int format;
    } words[] = {
        {"rgb332", texFmtRgb332}, {"yiq", texFmtYiq422},        {"a8", texFmtAlpha8},
        {"p8", texFmtP8},         {"argb8332", texFmtArgb8332}, {"ayiq8422", texFmtAyiq8422},
        {"rgb565", texFmtRgb565}, {"argb1555", texFmtArgb1555}, {"argb4444", texFmtArgb4444},
        {"ap88", texFmtAp88},
    };
    if (!word) return -1;
    for (const auto &entry : words)
        if (strcmp(word, entry.word) == 0) return entry.format;
    return -1;
}

FxBool readTdfInfo(const char *filename, TdfInfo *info, const TdfRules &rules) {
    if (!info) return FXFALSE;
    TdfHeader file;
    FILE *stream = openAtData(filename, &file);
    if (!stream) return FXFALSE;
    fclose(stream);

    // A zero or negative term would divide by zero below, a smallest size below 1 would never grow.
    if (file.aspectWidthTerm <= 0 || file.aspectHeightTerm <= 0 || file.smallestSize <= 0 ||
        file.largestSize < file.smallestSize)
        return FXFALSE;

    TdfInfo header = *info;
    // Sizes, aspect terms and format words that are not known leave their field as it was.
    int smallLog2 = log2OfSize(file.smallestSize);
    int largeLog2 = log2OfSize(file.largestSize);
    if (smallLog2 >= 0) header.smallLod = rules.lodOfLog2Size[smallLog2];
    if (largeLog2 >= 0) header.largeLod = rules.lodOfLog2Size[largeLog2];

    header.width = header.height = static_cast<FxU32>(file.largestSize);
    int aspectIndex = 3;
    if (file.aspectWidthTerm == 8)
        aspectIndex = 0;
    else if (file.aspectWidthTerm == 4)
        aspectIndex = 1;
    else if (file.aspectWidthTerm == 2)
        aspectIndex = 2;
    else if (file.aspectHeightTerm == 2)
        aspectIndex = 4;
    else if (file.aspectHeightTerm == 4)
        aspectIndex = 5;
    else if (file.aspectHeightTerm == 8)
        aspectIndex = 6;
    header.aspectRatio = rules.aspectValues[aspectIndex];
    if (aspectIndex < 3) header.height >>= 3 - aspectIndex;
    if (aspectIndex > 3) header.width >>= aspectIndex - 3;

    int format = tdfFormatFromWord(file.formatWord);
    if (format >= 0) header.format = format;

    // Every level from the smallest up, each as a whole number of texels of the aspect ratio.
    int64_t divisor = static_cast<int64_t>(file.aspectWidthTerm) * file.aspectHeightTerm;
    int64_t memory = 0;
    for (int64_t size = file.smallestSize; size <= file.largestSize; size *= 2)
        memory += size * size / divisor;
    if (header.format >= texFmt16Bit) memory *= 2;
    if (memory > UINT32_MAX) return FXFALSE;

    header.memRequired = static_cast<FxU32>(memory);
    *info = header;
    return FXTRUE;
}

FxBool loadTdfFile(const char *filename, TdfInfo *info, const TdfRules &rules) {
    if (!info) return FXFALSE;
    // The info record from gu3dfGetInfo governs the load; the header is read again only to find the data.
    FxU32 width = 0;
    FxU32 height = 0;
    if (!largestLevelSize(*info, rules, &width, &height)) return FXFALSE;
    const int format = info->format;
    const size_t largestBytes = static_cast<size_t>(width) * height * bytesPerTexel(format);
    // The application allocated mem_required bytes; never write past them.
    if (largestBytes > info->memRequired || (largestBytes > 0 && !info->data)) return FXFALSE;
    size_t texelBytes = chainTexels(*info, rules, width, height) * bytesPerTexel(format);
    if (texelBytes > info->memRequired) texelBytes = info->memRequired;
    const size_t tableBytes = hasPalette(format) ? 1024 : hasNccTable(format) ? nccTableBytes : 0;

    TdfHeader file;
    FILE *stream = openAtData(filename, &file);
    if (!stream) return FXFALSE;
    // A truncated file is refused before anything of the application's is overwritten.
    long left = bytesLeft(stream);
    if (left >= 0 && static_cast<size_t>(left) < tableBytes + largestBytes) {
        fclose(stream);
        return FXFALSE;
    }
    // Levels the file lacks below the largest are left as they were.
    if (left >= 0 && static_cast<size_t>(left) < tableBytes + texelBytes) texelBytes = left - tableBytes;
    texelBytes -= texelBytes % bytesPerTexel(format);

    unsigned char table[1024];
    if (fread(table, 1, tableBytes, stream) != tableBytes) {
        fclose(stream);
        return FXFALSE;
    }
    unsigned char *data = static_cast<unsigned char *>(info->data);
    bool complete = texelBytes == 0 || fread(data, 1, texelBytes, stream) == texelBytes;
    fclose(stream);
    if (!complete) return FXFALSE;

    // The file holds 16-bit texels and palette entries big-endian.
    if (bytesPerTexel(format) == 2)
        for (size_t i = 0; i < texelBytes; i += 2) {
            FxU16 texel = bigEndian16(data + i);
            memcpy(data + i, &texel, sizeof(texel));
        }
    if (hasPalette(format))
        for (int i = 0; i < 256; ++i)
            info->table.palette[i] = bigEndian32(table + 4 * i);
    if (hasNccTable(format)) unpackNccTable(table, &info->table.nccTable);
    return FXTRUE;
}
