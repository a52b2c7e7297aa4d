#include "library_settings.h"

#include <string.h>
#include <windows.h>

#include "../settings_store.h"

const char *const productKeyPath = settings_store::productKeyPath;
const char *const glideKeyPath = settings_store::glideKeyPath;

namespace {

struct DwordValue {
    const char *name;
    int32_t LibrarySettings::*field;
};

// The order in which the store is read.
const DwordValue dwordValues[] = {
    {settings_store::antialiasing, &LibrarySettings::Antialiasing},
    {settings_store::fog, &LibrarySettings::Fog},
    {settings_store::oversample, &LibrarySettings::Oversample},
    {settings_store::colorDepth, &LibrarySettings::ColorDepth},
    {settings_store::zFast, &LibrarySettings::ZFast},
    {settings_store::tripleBuffer, &LibrarySettings::TripleBuffer},
    {settings_store::waveRace, &LibrarySettings::WaveRace},
    {settings_store::fightingForceFix, &LibrarySettings::FightingForceFix},
    {settings_store::filtering, &LibrarySettings::Filtering},
    {settings_store::tmu, &LibrarySettings::TMU},
};

const DwordValue displayValues[] = {
    {settings_store::windowed, &LibrarySettings::Windowed},
    {settings_store::windowScale, &LibrarySettings::WindowScale},
    {settings_store::framePacing, &LibrarySettings::FramePacing},
};

// The value type is not checked: whatever fits in four bytes lands in the field, a longer value leaves it
// alone.
bool readDword(HKEY key, const char *name, int32_t &field) {
    DWORD value = static_cast<DWORD>(field);
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS)
        return false;
    field = static_cast<int32_t>(value);
    return true;
}

void readDisplayValues(HKEY key) {
    for (const DwordValue &value : displayValues)
        if (readDword(key, value.name, settings.*value.field)) settings.displayValuesPresent = 1;
    readDword(key, settings_store::card, boardChoice.Card);
    readDword(key, settings_store::gamma, boardChoice.Gamma);
}

int32_t readGlideFlag(HKEY key, const char *name) {
    char text[257] = {};
    DWORD type = 0;
    DWORD size = 256;
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return 0;
    return glideFlagIsSet(text) ? 1 : 0;
}

} // namespace

bool glideFlagIsSet(const char *text) {
    if (strcmp(text, "1") == 0) return true;
    const char *expected = "TRUE";
    size_t i = 0;
    for (; text[i] != '\0' && expected[i] != '\0'; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != expected[i]) return false;
    }
    return text[i] == '\0' && expected[i] == '\0';
}

void readSettings(const SettingsRules &rules) {
    for (const DwordValue &value : displayValues)
        settings.*value.field = 0;
    settings.displayValuesPresent = 0;
    boardChoice = BoardChoice{0, gammaHundredthsNeutral};
    settings.LfbStride2048 = 0;
    settings.RenderScale = 0;
    settings.renderScalePresent = 0;
    settings.Trace = 0;
    settings.TraceMaxMegabytes = 0;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        for (const DwordValue &value : dwordValues)
            settings.*value.field = rules.missingKeyDefaults.*value.field;
    } else {
        // A value missing from an existing key keeps what the field held; no defaults on this path.
        for (const DwordValue &value : dwordValues)
            readDword(key, value.name, settings.*value.field);
        readDisplayValues(key);
        readDword(key, settings_store::lfbStride2048, settings.LfbStride2048);
        if (readDword(key, settings_store::renderScale, settings.RenderScale))
            settings.renderScalePresent = 1;
        readDword(key, settings_store::trace, settings.Trace);
        readDword(key, settings_store::traceMaxMegabytes, settings.TraceMaxMegabytes);
        RegCloseKey(key);
        if (rules.colorDepth32ForcesZFast && settings.ColorDepth == 32) settings.ZFast = 1;
    }

    settings.NoSplash = 0;
    settings.NoDitherSub = 0;
    if (!rules.readGlideKey) return;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, glideKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    settings.NoDitherSub = readGlideFlag(key, settings_store::noDitherSub);
    settings.NoSplash = readGlideFlag(key, settings_store::noSplash);
    RegCloseKey(key);
}
