// kestrix_replay2 TRACE [--frames A-B] [--out DIR]: a Glide 2 trace played on the simulation.
#include "host_replay.h"

int main(int argc, char **argv) {
    return hostReplayMain(argc, argv, glide2LinkedEntries(), glide2ReadBackBuffer);
}
