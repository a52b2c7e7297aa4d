#include "png_writer.h"

#include <stdio.h>

namespace {

const uint32_t crcPolynomial = 0xEDB88320u;
const uint32_t adlerModulus = 65521u;
const size_t storedBlockMost = 65535;
const uint8_t bitDepth = 8, colourTypeRgb = 2;
const uint8_t zlibHeader[] = {0x78, 0x01};
const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t crc32(const std::vector<uint8_t> &bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (crcPolynomial & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void putBig(std::vector<uint8_t> &out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void putChunk(std::vector<uint8_t> &file, const char *type, const std::vector<uint8_t> &data) {
    putBig(file, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    file.insert(file.end(), typed.begin(), typed.end());
    putBig(file, crc32(typed));
}

// A zlib stream of stored blocks: no compression, no dependency.
std::vector<uint8_t> storedZlib(const std::vector<uint8_t> &raw) {
    std::vector<uint8_t> out(zlibHeader, zlibHeader + sizeof(zlibHeader));
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % adlerModulus;
        b = (b + a) % adlerModulus;
    }
    size_t at = 0;
    do {
        size_t length = raw.size() - at < storedBlockMost ? raw.size() - at : storedBlockMost;
        bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + length));
        at += length;
    } while (at < raw.size());
    putBig(out, (b << 16) | a);
    return out;
}

uint8_t widen(uint32_t value, int bits) {
    return static_cast<uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

} // namespace

bool writePng565(const std::string &path, uint32_t width, uint32_t height,
                 const std::vector<uint16_t> &pixels) {
    if (pixels.size() < static_cast<size_t>(width) * height) return false;
    std::vector<uint8_t> raw;
    raw.reserve((static_cast<size_t>(width) * 3 + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (uint32_t x = 0; x < width; ++x) {
            uint16_t pixel = pixels[static_cast<size_t>(y) * width + x];
            raw.push_back(widen(pixel >> 11, 5));
            raw.push_back(widen((pixel >> 5) & 0x3F, 6));
            raw.push_back(widen(pixel & 0x1F, 5));
        }
    }
    std::vector<uint8_t> header;
    putBig(header, width);
    putBig(header, height);
    header.insert(header.end(), {bitDepth, colourTypeRgb, 0, 0, 0});
    std::vector<uint8_t> file(signature, signature + sizeof(signature));
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", storedZlib(raw));
    putChunk(file, "IEND", {});
    FILE *out = fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
    return fclose(out) == 0 && written;
}
