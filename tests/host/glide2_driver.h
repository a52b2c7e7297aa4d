// Drives tessel2, the Glide 2 library, on a fresh simulated Windows: loads it as Windows would, stores its
// settings where the settings program does, opens sessions and reads its log.
#ifndef KESTRIX_GLIDE2_DRIVER_H
#define KESTRIX_GLIDE2_DRIVER_H

#include <gtest/gtest.h>

#include <string>

#include "library_fixture.h"
#include "settings_store.h"
#include "glide2x.h"

class Glide2Test : public LoadedLibraryTest {
  protected:
    void setProductDword(const char *name, DWORD value) { storeSetting(name, value); }

  public:
    // The first value written brings the other nine with it, as the settings program stores them all.
    static void storeSetting(const char *name, DWORD value) {
        const char *key = settings_store::productKeyPath;
        if (!sim::registryKeyExists(HKEY_LOCAL_MACHINE, key)) {
            const char *names[] = {"Antialiasing", "Fog",      "Oversample",       "ColorDepth", "ZFast",
                                   "TripleBuffer", "WaveRace", "FightingForceFix", "Filtering",  "TMU"};
            const DWORD defaults[] = {1, 1, 0, 16, 1, 0, 0, 0, 1, 0};
            for (int i = 0; i < 10; ++i)
                sim::setRegistryDword(HKEY_LOCAL_MACHINE, key, names[i], defaults[i]);
        }
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, key, name, value);
    }

  protected:
    FxBool open(GrScreenResolution_t resolution = GR_RESOLUTION_640x480,
                GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT, HWND hwnd = nullptr) {
        HWND target = hwnd ? hwnd : window;
        return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(target)), resolution,
                            GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, origin, 2, 1);
    }

    FxBool initAndOpen(GrScreenResolution_t resolution = GR_RESOLUTION_640x480) {
        grGlideInit();
        return open(resolution);
    }

    // The log file as the library wrote it: unloading closes it, and the library is loaded again.
    std::string logText() {
        unload();
        std::string text = sim::readFile("kestrix.log");
        load();
        return text;
    }

    // The leak report while the library is still loaded: its log file is legitimately open.
    static std::string leaksWhileLoaded() { return leaksBesides("kestrix.log"); }
};

#endif
