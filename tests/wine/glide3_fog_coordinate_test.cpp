// The fog table read at each vertex's own fog coordinate, on a real Direct3D device: black quads under white
// fog, one near by its q but far by its fog coordinate (fogged white), one far by q but near by its fog
// coordinate (left black). Reading the table at q would swap them. The board is the Voodoo3, which
// announces FOGCOORD; fog is switched on for the run.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide3x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const char *const storeKey = settings_store::productKeyPath;
// A key this program created is removed at the end: the programs sharing the Wine prefix treat a present
// key as the user's settings, an absent one as the settings program's defaults.
bool createdStoreKey = false;
const DWORD voodoo3 = 4, fogOn = 1;
const int tol = 14;
const int fogTableEntries = 64;
const GrColor_t background = 0x000000FF, black = 0x00000000, white = 0x00FFFFFF;
const float nearW = 1.0f, farW = 52428.8f; // the first and the last entry of the table

struct Vertex {
    float x, y, oow, fog;
};

// The values this run sets, put back as they were found.
struct StoredValue {
    const char *name;
    DWORD value;
    bool had;
    DWORD old;
};

StoredValue stored[] = {{"Card", voodoo3, false, 0}, {"Fog", fogOn, false, 0}};

void storeValues(bool set) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    createdStoreKey = createdStoreKey || disposition == REG_CREATED_NEW_KEY;
    for (StoredValue &v : stored) {
        if (set) {
            DWORD size = sizeof(v.old);
            v.had = RegQueryValueExA(key, v.name, nullptr, nullptr, reinterpret_cast<BYTE *>(&v.old),
                                     &size) == ERROR_SUCCESS;
            RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.value),
                           sizeof(v.value));
        } else if (v.had) {
            RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.old), sizeof(v.old));
        } else {
            RegDeleteValueA(key, v.name);
        }
    }
    RegCloseKey(key);
    if (!set && createdStoreKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
}

void drawQuad(float x0, float y0, float x1, float y1, float w, float fog) {
    Vertex a = {x0, y0, 1.0f / w, fog};
    Vertex b = {x1, y0, 1.0f / w, fog};
    Vertex c = {x1, y1, 1.0f / w, fog};
    Vertex d = {x0, y1, 1.0f / w, fog};
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

} // namespace

int main() {
    storeValues(true);
    HWND hwnd = kx::create_window("Kestrix fog coordinate test");
    grGlideInit();
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened != 0, "grSstWinOpen opens");
    if (opened == 0) {
        storeValues(false);
        grGlideShutdown();
        return kx::finish(1);
    }
    check(std::strstr(grGetString(GR_EXTENSION), " FOGCOORD ") != nullptr, "the Voodoo3 announces FOGCOORD");

    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_FOG_EXT, 12, GR_PARAM_ENABLE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grConstantColorValue(black);
    grFogColorValue(white);
    // No fog over the near half of the table, full fog over the far half.
    GrFog_t table[fogTableEntries];
    for (int i = 0; i < fogTableEntries; ++i)
        table[i] = i < fogTableEntries / 2 ? 0 : 255;
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE_ON_FOGCOORD_EXT);
    grBufferClear(background, 0, 0xFFFF);
    drawQuad(40, 40, 200, 160, nearW, farW);
    drawQuad(260, 40, 420, 160, farW, nearW);
    grFogMode(GR_FOG_DISABLE);
    grBufferSwap(1);
    kx::pump(300);
    std::vector<kx::Expect> expect = {
        {120, 100, 255, 255, 255, tol},
        {340, 100, 0, 0, 0, tol},
        {500, 300, 0, 0, 255, tol},
    };
    check(kx::request_capture("glide3_fog_coordinate", expect, 60000),
          "the quad far by its fog coordinate is fogged white, the one far by q only stays black");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose");
    grGlideShutdown();
    storeValues(false);
    return kx::finish(failures ? 1 : 0);
}
