// The Glide 3 entry points of a loaded library: kestrixreplay.exe.
#include "glide3x.h"
#include "glide3_entry_points.h"
#include "replay_invoker.h"
#include "replay_tables.h"

std::vector<ReplayEntry> glide3LoadedEntries(FindEntryPoint find, void *user) {
#define KESTRIX_LOADED_ENTRY(name)                                                                           \
    ReplayEntry{#name, find(#name, ReplayInvoker<decltype(&name)>::stackBytes, user),                        \
                &ReplayInvoker<decltype(&name)>::invoke},
    return {GLIDE3_ENTRY_POINTS(KESTRIX_LOADED_ENTRY)};
#undef KESTRIX_LOADED_ENTRY
}

ReadBack glide3LoadedReadBack(FindEntryPoint find, void *user) {
    auto read = reinterpret_cast<decltype(&grLfbReadRegion)>(
        find("grLfbReadRegion", ReplayInvoker<decltype(&grLfbReadRegion)>::stackBytes, user));
    return [read](uint32_t width, uint32_t height, uint16_t *pixels) {
        return read != nullptr && read(GR_BUFFER_BACKBUFFER, 0, 0, width, height,
                                       width * static_cast<FxU32>(sizeof(uint16_t)), pixels) != FXFALSE;
    };
}
