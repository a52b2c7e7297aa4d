// Frames as PNG files: 24-bit RGB from the 16-bit 565 pixels grLfbReadRegion gives, stored uncompressed.
#ifndef KESTRIX_PNG_WRITER_H
#define KESTRIX_PNG_WRITER_H

#include <stdint.h>

#include <string>
#include <vector>

bool writePng565(const std::string &path, uint32_t width, uint32_t height,
                 const std::vector<uint16_t> &pixels);

#endif
