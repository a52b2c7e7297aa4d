// The loaded library: its rules record, its module and the game's window title.
#ifndef KESTRIX_LIBRARY_STATE_H
#define KESTRIX_LIBRARY_STATE_H

#include <windows.h>

#include "library_rules.h"

// The loaded library: from process attach to detach.
struct LibraryState {
    const LibraryRules *rules;
    HINSTANCE moduleInstance;
    char windowTitle[256];
};

// Part of the library's records (session/state_groups.h).
extern LibraryState &library;

#endif
