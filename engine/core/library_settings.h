// Process-wide settings read from the registry by grGlideInit.
#ifndef KESTRIX_LIBRARY_SETTINGS_H
#define KESTRIX_LIBRARY_SETTINGS_H

#include <stdint.h>

struct LibrarySettings {
    int32_t Antialiasing;
    int32_t Fog;
    int32_t Oversample;
    int32_t ColorDepth;
    int32_t ZFast;
    int32_t TripleBuffer;
    int32_t WaveRace;
    int32_t FightingForceFix;
    int32_t Filtering;
    int32_t TMU;
    int32_t NoSplash;
    int32_t NoDitherSub;
    // The display values: unlike the ten above, each is 0 when the store lacks it.
    int32_t Windowed;    // 1: a window on the desktop instead of the full-screen mode
    int32_t WindowScale; // 2 to 4: the client area that many times the Glide size; 255: as large as fits
    int32_t FramePacing; // 1: by the swap interval; 2: at most 60 presents per second
    int32_t displayValuesPresent; // any of the three was in the store
    // 1: 16-bit frame-buffer locks of screens up to 1024 wide answer the board's 2048-byte stride; 0 when
    // absent.
    int32_t LfbStride2048;
    // 2 to 4: the device draws at that many times the Glide resolution; 255: as large as the screen allows;
    // 0 when absent, and whether it was in the store.
    int32_t RenderScale;
    int32_t renderScalePresent;
    // 1: every call recorded to kestrix-N.gltrace beside the log; 0 when absent.
    int32_t Trace;
    // The trace stops at this size; absent or 0: 1024.
    int32_t TraceMaxMegabytes;
};

// The board reported and the user's brightness, read with the display values; kept apart from the record
// above, whose defaults each library lists.
struct BoardChoice {
    int32_t Card;  // CardModel: 0 Voodoo Graphics, 1 Voodoo Rush, 2 Voodoo2, 3 Voodoo Banshee, 4 Voodoo3
    int32_t Gamma; // hundredths of the gamma applied on top of the game's: 100 (1.00) when absent
};

const int32_t gammaHundredthsNeutral = 100;

const int32_t windowScaleLargest = 255;
const int32_t renderScaleLargest = 255;
const int32_t framePacingBySwapInterval = 1;
const int32_t framePacingAt60 = 2;

// What differs between the libraries when they read the store.
struct SettingsRules {
    LibrarySettings missingKeyDefaults; // only the ten DWORD fields are used
    bool colorDepth32ForcesZFast;
    bool readGlideKey; // FX_GLIDE_NO_SPLASH and FX_GLIDE_NO_DITHER_SUB
};

// Part of the library's records (session/state_groups.h).
extern LibrarySettings &settings;
extern BoardChoice &boardChoice;

extern const char *const productKeyPath;
extern const char *const glideKeyPath;

void readSettings(const SettingsRules &rules);
bool glideFlagIsSet(const char *text);

#endif
