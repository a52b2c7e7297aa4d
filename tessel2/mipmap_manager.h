// The Glide 2 utility library's texture manager (guTexAllocateMemory and its companions).
#ifndef KESTRIX_TESSEL2_MIPMAP_MANAGER_H
#define KESTRIX_TESSEL2_MIPMAP_MANAGER_H

// No mipmaps, all texture memory free, nothing selected: as after grGlideInit.
void resetMipMapManager();

#endif
