#include "texture_formats.h"

// Texel formats are not translated yet; the table stays empty.
void buildTextureFormatTable() {}
