// The host's replay command: a trace played into the linked library on the simulation, one line per frame
// with a digest of its pixels and of the device calls made for it; with --out DIR the simulation draws and
// each frame is written as DIR/frame-N.png, as kestrixreplay.exe writes them.
#ifndef KESTRIX_HOST_REPLAY_H
#define KESTRIX_HOST_REPLAY_H

#include <vector>

#include "replay_tables.h"

int hostReplayMain(int argc, char **argv, const std::vector<ReplayEntry> &entries, ReadBack readBack);

#endif
