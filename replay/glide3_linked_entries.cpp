// The Glide 3 entry points linked into the program: the host replay against the simulation.
#include "glide3x.h"
#include "glide3_entry_points.h"
#include "replay_invoker.h"
#include "replay_tables.h"

std::vector<ReplayEntry> glide3LinkedEntries() {
#define KESTRIX_LINKED_ENTRY(name)                                                                           \
    ReplayEntry{#name, reinterpret_cast<void *>(&name), &ReplayInvoker<decltype(&name)>::invoke},
    return {GLIDE3_ENTRY_POINTS(KESTRIX_LINKED_ENTRY)};
#undef KESTRIX_LINKED_ENTRY
}

bool glide3ReadBackBuffer(uint32_t width, uint32_t height, uint16_t *pixels) {
    return grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, width, height, width * sizeof(uint16_t), pixels) !=
           FXFALSE;
}
