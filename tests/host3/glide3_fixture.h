// A loaded tessel3 on a fresh simulated platform, with helpers to open a context and read what it did.
#ifndef KESTRIX_GLIDE3_FIXTURE_H
#define KESTRIX_GLIDE3_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library_fixture.h"
#include "glide3x.h"
#include "core/library_settings.h"
#include "core/render_context.h"
#include "settings_store.h"

class Glide3Test : public LoadedLibraryTest {
  protected:
    const char *windowTitle() const override { return "Glide 3 Game"; }

    void setProductDword(const char *name, DWORD value) { storeSetting(name, value); }

  public:
    static void storeSetting(const char *name, DWORD value) {
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settings_store::productKeyPath, name, value);
    }

  protected:
    GrContext_t open(GrScreenResolution_t resolution = GR_RESOLUTION_640x480,
                     GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT) {
        return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), resolution,
                            GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, origin, 2, 1);
    }

    GrContext_t initAndOpen(GrScreenResolution_t resolution = GR_RESOLUTION_640x480,
                            GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT) {
        grGlideInit();
        return open(resolution, origin);
    }

    std::string logText() {
        unload();
        std::string text = sim::readFile("kestrix.log");
        load();
        return text;
    }

    // The names of the recorded calls from `from` on, in order.
    static std::vector<std::string> callNames(size_t from = 0) {
        std::vector<std::string> names;
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = from; i < calls.size(); ++i)
            names.push_back(calls[i].name);
        return names;
    }

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

    // The stage states sent from `from` on, as (stage, type, value) triples.
    static std::vector<std::vector<unsigned long long>> stageStates(size_t from = 0) {
        std::vector<std::vector<unsigned long long>> states;
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].name == "SetTextureStageState")
                states.push_back({calls[i].args[0], calls[i].args[1], calls[i].args[2]});
        return states;
    }

    // The render states sent from `from` on, as (state, value) pairs.
    static std::vector<std::vector<unsigned long long>> renderStates(size_t from = 0) {
        std::vector<std::vector<unsigned long long>> states;
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].name == "SetRenderState") states.push_back({calls[i].args[0], calls[i].args[1]});
        return states;
    }
};

#endif
