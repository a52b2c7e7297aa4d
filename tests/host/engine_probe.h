// The engine's own state, for the few checks that nothing the device, the caller or the log shows can
// make. Tests reach it only through these functions, so that when the engine keeps its state differently
// this file alone follows.
#ifndef KESTRIX_ENGINE_PROBE_H
#define KESTRIX_ENGINE_PROBE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "render/combine_table.h"
#include "session/library_settings.h"
#include "texture/texture_memory.h"

namespace probe {

// A field of the settings record as grGlideInit read it, by the name of its registry value; the two Glide
// flags are "NoSplash" and "NoDitherSub". Several fields are only ever tested for zero, and TripleBuffer is
// not used at all, so their values show nowhere else.
inline int32_t setting(const std::string &name) {
    const struct {
        const char *name;
        const int32_t *field;
    } fields[] = {
        {"Antialiasing", &settings.Antialiasing},
        {"Fog", &settings.Fog},
        {"Oversample", &settings.Oversample},
        {"ColorDepth", &settings.ColorDepth},
        {"ZFast", &settings.ZFast},
        {"TripleBuffer", &settings.TripleBuffer},
        {"WaveRace", &settings.WaveRace},
        {"FightingForceFix", &settings.FightingForceFix},
        {"Filtering", &settings.Filtering},
        {"TMU", &settings.TMU},
        {"NoSplash", &settings.NoSplash},
        {"NoDitherSub", &settings.NoDitherSub},
    };
    for (const auto &field : fields)
        if (name == field.name) return *field.field;
    ADD_FAILURE() << "no setting " << name;
    return -1;
}

// Forgets the combine table, as a freshly loaded library has none: the next combine call builds it without
// a device. Unloading the library does not do this.
inline void forgetCombineTable() {
    combineTableBuilt = false;
}

// Whether the engine still holds a texture as the one in force on the TMU, which a palette download would
// refresh. Once that texture is destroyed, nothing a caller does can look at it safely: the engine must
// have let go of it.
inline bool holdsCurrentTexture(int tmu) {
    return currentTexture[tmu] != nullptr;
}

} // namespace probe

#endif
