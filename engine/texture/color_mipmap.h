// A test mipmap whose levels are solid colours, to show which level the hardware samples.
#ifndef KESTRIX_COLOR_MIPMAP_H
#define KESTRIX_COLOR_MIPMAP_H

// A complete texFmtRgb565 mipmap from 256 × 256 down to 1 × 1, largest level first, in a new
// block of 174762 bytes that the caller owns; null when it cannot be allocated.
void *createColorMipMap();

#endif
