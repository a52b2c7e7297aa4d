// A loaded tessel2 on a fresh simulated platform, with helpers to open a session and read what it did.
#ifndef KESTRIX_SESSION_FIXTURE_H
#define KESTRIX_SESSION_FIXTURE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"
#include "session/render_context.h"
#include "session/engine_state.h"
#include "session/library_settings.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

inline std::vector<unsigned char> readSourceFile(const std::string &relative) {
    std::ifstream in(std::string(KESTRIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SessionTest : public ::testing::Test {
  protected:
    HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));
    HWND window = nullptr;
    bool loaded = false;

    void SetUp() override {
        sim::reset();
        sim::registerBitmapResource(module, "LOGO", readSourceFile("tessel2/resources/logo.bmp"));
        sim::registerBitmapResource(module, "SPLASH", readSourceFile("tessel2/resources/splash.bmp"));
        window = sim::createWindow("Test Game", RECT{0, 0, 640, 480});
        sim::setActiveWindow(window);
        load();
    }

    void TearDown() override {
        unload();
        EXPECT_EQ(sim::leakReport(), "");
    }

    void load() {
        DllMain(module, DLL_PROCESS_ATTACH, nullptr);
        loaded = true;
    }

    void unload() {
        if (!loaded) return;
        DllMain(module, DLL_PROCESS_DETACH, nullptr);
        loaded = false;
    }

    // The first value written brings the other nine with it, as the settings program stores them all.
    void setProductDword(const char *name, DWORD value) {
        const char *key = "Software\\Orvane\\Kestrix XP";
        if (!sim::registryKeyExists(HKEY_LOCAL_MACHINE, key)) {
            const char *names[] = {"Antialiasing", "Fog",      "Oversample",       "ColorDepth", "ZFast",
                                   "TripleBuffer", "WaveRace", "FightingForceFix", "Filtering",  "TMU"};
            const DWORD defaults[] = {1, 1, 0, 16, 1, 0, 0, 0, 1, 0};
            for (int i = 0; i < 10; ++i)
                sim::setRegistryDword(HKEY_LOCAL_MACHINE, key, names[i], defaults[i]);
        }
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, key, name, value);
    }

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

    std::string logText() {
        unload();
        std::string text = sim::readFile("kestrix.log");
        load();
        return text;
    }

    static std::vector<sim::Call> named(const char *name) { return sim::callsNamed(name); }

    // The leak report while the library is still loaded: its log file is legitimately open.
    static std::string leaksWhileLoaded() {
        std::string report = sim::leakReport(), kept;
        size_t start = 0;
        while (start < report.size()) {
            size_t end = report.find('\n', start);
            if (end == std::string::npos) end = report.size() - 1;
            std::string line = report.substr(start, end - start + 1);
            if (line.find("kestrix.log") == std::string::npos) kept += line;
            start = end + 1;
        }
        return kept;
    }

    static std::vector<unsigned long long> firstArgs(const sim::Call &call, size_t count) {
        return std::vector<unsigned long long>(call.args.begin(),
                                               call.args.begin() + std::min(count, call.args.size()));
    }

    static size_t countNamed(const char *name) { return sim::callsNamed(name).size(); }

    // The index of the first call with this name at or after `from`, or npos.
    static size_t find(const char *name, size_t from = 0) {
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].name == name) return i;
        return std::string::npos;
    }

    // Checks that the calls appear in this order, not necessarily adjacent.
    static ::testing::AssertionResult inOrder(const std::vector<std::string> &names, size_t from = 0) {
        size_t at = from;
        for (const std::string &name : names) {
            size_t next = find(name.c_str(), at);
            if (next == std::string::npos)
                return ::testing::AssertionFailure() << name << " missing after call " << at;
            at = next + 1;
        }
        return ::testing::AssertionSuccess();
    }

    static std::vector<unsigned long long> renderStates() {
        std::vector<unsigned long long> states;
        for (const sim::Call &call : sim::callsNamed("SetRenderState")) {
            states.push_back(call.args[0]);
            states.push_back(call.args[1]);
        }
        return states;
    }
};

#endif
