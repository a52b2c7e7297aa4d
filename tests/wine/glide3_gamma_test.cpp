// Gamma in a window on a real DirectDraw: the game's table (here every channel turned over) and the user's
// Gamma setting change the pixels the window shows, read back from the captured screen. The board is the
// Voodoo3, whose GETGAMMA procedure hands the table back.
#include "wine_harness.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
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
const char *const storedNames[] = {"Windowed", "Card", "Gamma", "ColorDepth"};
const DWORD voodoo3 = 4;
const DWORD neutralGamma = 100;
const DWORD doubleGamma = 200;
const int entries = 256;
const int tol = 10;
const GrColor_t grey = 0x00404040, orange = 0x00C08020;

typedef void(FX_CALL *GetGammaTable)(FxU32, FxU32 *, FxU32 *, FxU32 *);

void store(DWORD gamma) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    createdStoreKey = createdStoreKey || disposition == REG_CREATED_NEW_KEY;
    const DWORD values[] = {1, voodoo3, gamma, 32};
    for (int i = 0; i < 4; ++i)
        RegSetValueExA(key, storedNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE *>(&values[i]),
                       sizeof(values[i]));
    RegCloseKey(key);
}

// The Wine prefix is shared by every test of the build.
void removeStored() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (const char *name : storedNames)
        RegDeleteValueA(key, name);
    RegCloseKey(key);
    if (createdStoreKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
}

int channel(GrColor_t color, int shift) {
    return static_cast<int>((color >> shift) & 0xFF);
}

kx::Expect probe(HWND hwnd, int x, int y, int r, int g, int b) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x + x, origin.y + y, r, g, b, tol};
}

int brightened(int value) {
    return static_cast<int>(std::lround(std::pow(value / 255.0, 1.0 / (doubleGamma / 100.0)) * 255.0));
}

void drawScene() {
    grBufferClear(grey, 0, 0xFFFF);
    grClipWindow(100, 100, 300, 200);
    grBufferClear(orange, 0, 0xFFFF);
    grClipWindow(0, 0, 640, 480);
    grBufferSwap(1);
    kx::pump(300);
}

GrContext_t open(HWND hwnd) {
    grGlideInit();
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                        GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void gameTable() {
    store(neutralGamma);
    HWND hwnd = kx::create_window("Kestrix gamma test");
    GrContext_t session = open(hwnd);
    check(session != 0, "grSstWinOpen opens in a window");
    std::vector<FxU32> inverted(entries);
    for (int i = 0; i < entries; ++i)
        inverted[i] = static_cast<FxU32>(entries - 1 - i);
    grLoadGammaTable(entries, inverted.data(), inverted.data(), inverted.data());

    GrProc proc = grGetProcAddress(const_cast<char *>("grGetGammaTableExt"));
    check(proc != nullptr, "the Voodoo3 hands out grGetGammaTableExt");
    if (proc != nullptr) {
        std::vector<FxU32> red(entries), green(entries), blue(entries);
        reinterpret_cast<GetGammaTable>(reinterpret_cast<void (*)(void)>(proc))(entries, red.data(),
                                                                                green.data(), blue.data());
        check(red == inverted && green == inverted && blue == inverted,
              "grGetGammaTableExt reads the table back");
    }

    drawScene();
    std::vector<kx::Expect> expect = {
        probe(hwnd, 20, 20, 255 - channel(grey, 16), 255 - channel(grey, 8), 255 - channel(grey, 0)),
        probe(hwnd, 200, 150, 255 - channel(orange, 16), 255 - channel(orange, 8), 255 - channel(orange, 0)),
    };
    check(kx::request_capture("glide3_gamma_table", expect, 60000),
          "the window shows the frame through the table");
    grSstWinClose(session);
    grGlideShutdown();
    DestroyWindow(hwnd);
}

void userGamma() {
    store(doubleGamma);
    HWND hwnd = kx::create_window("Kestrix brightness test");
    GrContext_t session = open(hwnd);
    check(session != 0, "grSstWinOpen opens in a window with Gamma 200");
    drawScene();
    std::vector<kx::Expect> expect = {
        probe(hwnd, 20, 20, brightened(channel(grey, 16)), brightened(channel(grey, 8)),
              brightened(channel(grey, 0))),
        probe(hwnd, 200, 150, brightened(channel(orange, 16)), brightened(channel(orange, 8)),
              brightened(channel(orange, 0))),
    };
    check(kx::request_capture("glide3_gamma_user", expect, 60000), "Gamma 200 brightens the window");
    grSstWinClose(session);
    grGlideShutdown();
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    gameTable();
    userGamma();
    removeStored();
    return kx::finish(failures == 0 ? 0 : 1);
}
