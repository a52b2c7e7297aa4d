// A Glide library on a fresh simulated Windows, attached as the loader attaches the DLL, with a game window
// active; at the end it is detached and nothing may be left behind. Each library's driver builds on it.
#ifndef KESTRIX_LIBRARY_FIXTURE_H
#define KESTRIX_LIBRARY_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>

#include "render/draw_batch.h"
#include "sim_assertions.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

class LoadedLibraryTest : public ::testing::Test {
  protected:
    HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));
    HWND window = nullptr;
    bool loaded = false;

    virtual const char *windowTitle() const { return "Test Game"; }

    void SetUp() override {
        sim::reset();
        sim::setBeforeReadingCalls(flushDrawBatch);
        sim::registerBitmapResource(module, "LOGO", readSourceFile("tessel2/resources/logo.bmp"));
        sim::registerBitmapResource(module, "SPLASH", readSourceFile("tessel2/resources/splash.bmp"));
        window = sim::createWindow(windowTitle(), RECT{0, 0, 640, 480});
        sim::setActiveWindow(window);
        load();
    }

    void TearDown() override {
        unload();
        sim::setBeforeReadingCalls(nullptr);
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
};

#endif
