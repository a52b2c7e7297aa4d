// How each Glide texel format is stored on the current device.
#ifndef KESTRIX_TEXTURE_FORMATS_H
#define KESTRIX_TEXTURE_FORMATS_H

void buildTextureFormatTable();

#endif
