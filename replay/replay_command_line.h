// The command line both replay programs read: TRACE [--frames A-B] [--out DIR] [--library DLL].
#ifndef KESTRIX_REPLAY_COMMAND_LINE_H
#define KESTRIX_REPLAY_COMMAND_LINE_H

#include <stdio.h>
#include <string.h>

#include <string>

struct ReplayCommandLine {
    const char *trace = nullptr;
    const char *library = nullptr;
    std::string out;
    int firstFrame = 0, lastFrame = -1;
};

// False on anything it does not know; --library only where the program loads its library.
inline bool parseReplayCommandLine(int argc, char **argv, bool takesLibrary, ReplayCommandLine &arguments) {
    for (int i = 1; i < argc; ++i) {
        const bool valued = i + 1 < argc;
        if (strcmp(argv[i], "--frames") == 0 && valued) {
            if (sscanf(argv[++i], "%d-%d", &arguments.firstFrame, &arguments.lastFrame) != 2) return false;
        } else if (strcmp(argv[i], "--out") == 0 && valued) {
            arguments.out = argv[++i];
        } else if (strcmp(argv[i], "--library") == 0 && valued && takesLibrary) {
            arguments.library = argv[++i];
        } else if (arguments.trace == nullptr && argv[i][0] != '-') {
            arguments.trace = argv[i];
        } else {
            return false;
        }
    }
    return arguments.trace != nullptr;
}

#endif
