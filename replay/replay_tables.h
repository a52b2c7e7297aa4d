// The entry point tables of the two libraries, for trace_player.
#ifndef KESTRIX_REPLAY_TABLES_H
#define KESTRIX_REPLAY_TABLES_H

#include <stdint.h>

#include <functional>
#include <vector>

#include "trace_player.h"

// Linked in: the host's replay (one library per program, as the host tests are).
std::vector<ReplayEntry> glide2LinkedEntries();
std::vector<ReplayEntry> glide3LinkedEntries();
bool glide2ReadBackBuffer(uint32_t width, uint32_t height, uint16_t *pixels);
bool glide3ReadBackBuffer(uint32_t width, uint32_t height, uint16_t *pixels);

// Found in a loaded library by a lookup of the exported name and the bytes its arguments take.
typedef void *(*FindEntryPoint)(const char *name, size_t argumentBytes, void *user);
std::vector<ReplayEntry> glide2LoadedEntries(FindEntryPoint find, void *user);
std::vector<ReplayEntry> glide3LoadedEntries(FindEntryPoint find, void *user);
typedef std::function<bool(uint32_t width, uint32_t height, uint16_t *pixels)> ReadBack;
ReadBack glide2LoadedReadBack(FindEntryPoint find, void *user);
ReadBack glide3LoadedReadBack(FindEntryPoint find, void *user);

#endif
