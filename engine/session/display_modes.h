// Which Glide resolutions a window open can show on this display.
#ifndef KESTRIX_DISPLAY_MODES_H
#define KESTRIX_DISPLAY_MODES_H

#include <windows.h>

const int glideResolutionCount = 24;

// The modes found by the last enumeration that succeeded, for the depth it looked for; a new load of the
// library asks the adapter again. Part of the library's records (state_groups.h).
struct ModeList {
    DWORD bitsPerPixel;
    bool openable[glideResolutionCount];
};

// For each Glide resolution code from 0, whether a window open can show it: every one in a window; full
// screen, those the adapter lists at the colour depth of the settings. Returns how many can.
int findOpenableResolutions(bool openable[glideResolutionCount]);

#endif
