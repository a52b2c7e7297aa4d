#include "texture_memory.h"

#include <stdlib.h>

TextureRecord **textureMemory;

namespace {
const int slotCount = 8192;
}

// A second grGlideInit replaces the slot table; the textures of the old one go first.
void allocateTextureMemory() {
    freeTextureMemory();
    textureMemory = static_cast<TextureRecord **>(calloc(slotCount, sizeof(TextureRecord *)));
}

void freeTextureMemory() {
    releaseAllTextures();
    free(textureMemory);
    textureMemory = NULL;
}

// Texture records do not exist yet: downloads are accepted and dropped.
void releaseAllTextures() {}

void resetTextureUnits() {}
