#include "library_settings.h"

#include <string.h>
#include <windows.h>

LibrarySettings settings;

const char *const productKeyPath = "Software\\Orvane\\Kestrix XP";
const char *const glideKeyPath = "Software\\3Dfx Interactive\\Glide";

namespace {

struct DwordValue {
    const char *name;
    int32_t LibrarySettings::*field;
};

// The order in which the store is read.
const DwordValue dwordValues[] = {
    {"Antialiasing", &LibrarySettings::Antialiasing},
    {"Fog", &LibrarySettings::Fog},
    {"Oversample", &LibrarySettings::Oversample},
    {"ColorDepth", &LibrarySettings::ColorDepth},
    {"ZFast", &LibrarySettings::ZFast},
    {"TripleBuffer", &LibrarySettings::TripleBuffer},
    {"WaveRace", &LibrarySettings::WaveRace},
    {"FightingForceFix", &LibrarySettings::FightingForceFix},
    {"Filtering", &LibrarySettings::Filtering},
    {"TMU", &LibrarySettings::TMU},
};

const DwordValue displayValues[] = {
    {"Windowed", &LibrarySettings::Windowed},
    {"WindowScale", &LibrarySettings::WindowScale},
    {"FramePacing", &LibrarySettings::FramePacing},
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
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        for (const DwordValue &value : dwordValues)
            settings.*value.field = rules.missingKeyDefaults.*value.field;
    } else {
        // A value missing from an existing key keeps what the field held; no defaults on this path.
        for (const DwordValue &value : dwordValues)
            readDword(key, value.name, settings.*value.field);
        readDisplayValues(key);
        RegCloseKey(key);
        if (rules.colorDepth32ForcesZFast && settings.ColorDepth == 32) settings.ZFast = 1;
    }

    settings.NoSplash = 0;
    settings.NoDitherSub = 0;
    if (!rules.readGlideKey) return;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, glideKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    settings.NoDitherSub = readGlideFlag(key, "FX_GLIDE_NO_DITHER_SUB");
    settings.NoSplash = readGlideFlag(key, "FX_GLIDE_NO_SPLASH");
    RegCloseKey(key);
}
