// Emulated texture memory: one slot per KiB of each texture unit.
#ifndef KESTRIX_TEXTURE_MEMORY_H
#define KESTRIX_TEXTURE_MEMORY_H

struct TextureRecord;

extern TextureRecord **textureMemory;

void allocateTextureMemory();
void freeTextureMemory();
void releaseAllTextures();
void resetTextureUnits();

#endif
