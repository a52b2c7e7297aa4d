// 3DF texture files, the board vendor's texture file format: a four-line text header followed by
// big-endian binary data (palette or NCC table, then the mipmap levels from the largest down).
#ifndef KESTRIX_TDF_FILE_H
#define KESTRIX_TDF_FILE_H

#include <stddef.h>

#include "../glide_values.h"
#include "ncc_tables.h"

struct TdfRules;

// What gu3dfGetInfo answers and gu3dfLoad fills, in the library's numbering; the front end copies it to and
// from its Gu3dfInfo.
struct TdfInfo {
    FxU32 width, height;
    int smallLod, largeLod;
    FxI32 aspectRatio;
    FxI32 format;
    union {
        NccTable nccTable;
        FxU32 palette[256];
    } table;
    void *data;
    FxU32 memRequired;
};

// Longest version or format word the header may hold.
const int tdfWordLimit = 11;

// The header fields as written in the file.
struct TdfHeader {
    char version[tdfWordLimit + 1];
    char formatWord[tdfWordLimit + 1];
    int smallestSize;
    int largestSize;
    int aspectWidthTerm;
    int aspectHeightTerm;
};

// Parses the header from memory; on success *headerSize is the offset of the first data byte.
bool parseTdfHeader(const unsigned char *bytes, size_t length, TdfHeader *header, size_t *headerSize);

// The FxI32 of a format word, or -1 when the word names none.
int tdfFormatFromWord(const char *word);

// gu3dfGetInfo and gu3dfLoad with the library's numbering.
FxBool readTdfInfo(const char *filename, TdfInfo *info, const TdfRules &rules);
FxBool loadTdfFile(const char *filename, TdfInfo *info, const TdfRules &rules);

#endif
