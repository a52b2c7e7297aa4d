// Which Glide resolutions a window open can show on this display.
#ifndef KESTRIX_DISPLAY_MODES_H
#define KESTRIX_DISPLAY_MODES_H

const int glideResolutionCount = 24;

// For each Glide resolution code from 0, whether a window open can show it: every one in a window; full
// screen, those the adapter lists at the colour depth of the settings. Returns how many can.
int findOpenableResolutions(bool openable[glideResolutionCount]);
// A new load of the library asks the adapter again.
void forgetDisplayModes();

#endif
