// The memory behind a frame-buffer lock that outlives draws and swaps, and which parts of it the
// application changed: written pages (write watch, NT family; where Windows cannot tell, Windows 95, 98
// and Me, every page) are compared with a copy of the last synchronised content.
#ifndef KESTRIX_LFB_SHADOW_H
#define KESTRIX_LFB_SHADOW_H

#include <stddef.h>

#include "../glide_values.h"

struct ShadowMemory {
    FxU8 *bytes;
    size_t size;
    FxU32 watched;   // bytes carries a write watch
    FxU8 *reference; // bytes as last synchronised
};

// At least size bytes, zeroed when new; false (and the old memory kept) when none can be had.
bool ensureShadowMemory(ShadowMemory &memory, size_t size);
void freeShadowMemory(ShadowMemory &memory);

// The library itself filled the first `used` bytes: none of them counts as written.
void forgetShadowWrites(ShadowMemory &memory, size_t used);

// Calls each(from, to, user) for the byte ranges of the first `used` bytes written since the last call or
// forget, in ascending order (whole pages with a watch); afterwards they count as unwritten.
typedef void (*WrittenRange)(size_t from, size_t to, void *user);
void collectShadowWrites(ShadowMemory &memory, size_t used, WrittenRange each, void *user);

#endif
