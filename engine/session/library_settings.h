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
};

// What differs between the libraries when they read the store.
struct SettingsRules {
    LibrarySettings missingKeyDefaults; // only the ten DWORD fields are used
    bool colorDepth32ForcesZFast;
    bool readGlideKey; // FX_GLIDE_NO_SPLASH and FX_GLIDE_NO_DITHER_SUB
};

extern LibrarySettings settings;

extern const char *const productKeyPath;
extern const char *const glideKeyPath;

void readSettings(const SettingsRules &rules);
bool glideFlagIsSet(const char *text);

#endif
