// kestrix_replay3 TRACE [--frames A-B] [--out DIR]: a Glide 3 trace played on the simulation.
#include "host_replay.h"

int main(int argc, char **argv) {
    return hostReplayMain(argc, argv, glide3LinkedEntries(), glide3ReadBackBuffer);
}
