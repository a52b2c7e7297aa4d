// A game with its own DirectDraw for its menus around Glide sessions, as many of the era were: its object at
// the exclusive level in an 800x600 mode of its own with its primary filled, a Glide session opened while the
// object keeps the exclusive level and one after it dropped to the normal level, and the menus drawn again
// after each close in the game's mode. Then focus taken by another window in the middle of a full-screen
// session and given back: the session keeps drawing. Every step is probed on the captured screen.
#include "wine_harness.h"

#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "glide2x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const DWORD menuWidth = 800, menuHeight = 600, menuBits = 16;
const DWORD exclusiveLevel = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
const int tol = 10;
const DWORD settleMs = 300;

struct Colour {
    int r, g, b;
    uint16_t pixel565;
    GrColor_t argb;
};

const Colour green = {0, 255, 0, 0x07E0, 0x0000FF00};
const Colour red = {255, 0, 0, 0xF800, 0x00FF0000};
const Colour blue = {0, 0, 255, 0x001F, 0x000000FF};
const Colour yellow = {255, 255, 0, 0xFFE0, 0x00FFFF00};
const Colour magenta = {255, 0, 255, 0xF81F, 0x00FF00FF};
const Colour cyan = {0, 255, 255, 0x07FF, 0x0000FFFF};
const Colour orange = {255, 128, 0, 0xFC00, 0x00FF8000};

DEVMODEA currentMode(const char *when) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    std::printf("display mode %s: %lux%lu, %lu-bit\n", when, static_cast<unsigned long>(mode.dmPelsWidth),
                static_cast<unsigned long>(mode.dmPelsHeight), static_cast<unsigned long>(mode.dmBitsPerPel));
    return mode;
}

bool sameMode(const DEVMODEA &a, const DEVMODEA &b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel;
}

bool capture(const char *name, const Colour &colour, int width, int height) {
    std::vector<kx::Expect> expect = {{width / 2, height / 2, colour.r, colour.g, colour.b, tol},
                                      {8, 8, colour.r, colour.g, colour.b, tol},
                                      {width - 8, height - 8, colour.r, colour.g, colour.b, tol}};
    return kx::request_capture(name, expect, 60000);
}

// The game's side: its own object, mode and primary surface.
struct GameDraw {
    HWND window = nullptr;
    IDirectDraw7 *draw = nullptr;
    IDirectDrawSurface7 *primary = nullptr;

    bool start(HWND hwnd) {
        window = hwnd;
        if (DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&draw), IID_IDirectDraw7, nullptr) != DD_OK)
            return false;
        if (draw->SetCooperativeLevel(window, exclusiveLevel) != DD_OK) return false;
        if (draw->SetDisplayMode(menuWidth, menuHeight, menuBits, 0, 0) != DD_OK) return false;
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        return draw->CreateSurface(&desc, &primary, nullptr) == DD_OK;
    }

    // As a game does after alt-tab: a lost primary is restored before it is drawn.
    HRESULT fill(const Colour &colour) {
        if (primary->IsLost() == DDERR_SURFACELOST) {
            std::printf("the game's primary was lost; restore: 0x%08lx\n",
                        static_cast<unsigned long>(primary->Restore()));
        }
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = colour.pixel565;
        HRESULT result = primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        kx::pump(settleMs);
        return result;
    }

    void end() {
        if (primary) primary->Release();
        if (draw) {
            draw->RestoreDisplayMode();
            draw->SetCooperativeLevel(window, DDSCL_NORMAL);
            draw->Release();
        }
        primary = nullptr;
        draw = nullptr;
    }
};

bool openGlide(HWND hwnd) {
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                        GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) == FXTRUE;
}

void drawFrames(const Colour &colour, int frames) {
    for (int i = 0; i < frames; ++i) {
        grBufferClear(colour.argb, 0, 0xFFFF);
        grBufferSwap(1);
        kx::pump(50);
    }
    kx::pump(settleMs);
}

// One Glide session between the game's menus, and the menus again after it in the mode the open found (Wine's
// DirectDraw itself returns to the desktop's mode when the game's object drops to the normal level).
void sessionBetweenMenus(GameDraw &game, HWND hwnd, const char *glideName, const Colour &glideColour,
                         const char *menuName, const Colour &menuColour) {
    DEVMODEA atOpen = currentMode("at the open");
    check(openGlide(hwnd), "grSstWinOpen opens beside the game's own DirectDraw");
    drawFrames(glideColour, 2);
    check(capture(glideName, glideColour, 640, 480), "the session's frame is on the screen");
    grSstWinClose();
    kx::pump(settleMs);
    check(sameMode(currentMode("after the close"), atOpen),
          "the mode in force at the open is back after the close");
    if (game.draw->TestCooperativeLevel() != DD_OK)
        check(game.draw->SetCooperativeLevel(hwnd, exclusiveLevel) == DD_OK, "the game takes its level back");
    check(game.draw->TestCooperativeLevel() == DD_OK, "the game's DirectDraw has its cooperative level");
    check(game.fill(menuColour) == DD_OK, "the game's primary draws again");
    check(capture(menuName, menuColour, menuWidth, menuHeight), "the game's menu is on the screen");
}

// Another program's window takes the focus in the middle of the session, then the game gets it back.
void focusTakenAndGivenBack(HWND hwnd) {
    check(openGlide(hwnd), "grSstWinOpen full-screen for the focus probe");
    drawFrames(cyan, 2);
    check(capture("focus_before", cyan, 640, 480), "the session draws before the focus goes");
    HWND other = CreateWindowExA(WS_EX_TOPMOST, "KestrixWineTest", "Another program", WS_POPUP | WS_VISIBLE,
                                 0, 0, 320, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    kx::pump(800);
    drawFrames(red, 2); // drawn while another window has the focus: must not fail for good
    DestroyWindow(other);
    ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    kx::pump(800);
    drawFrames(orange, 5);
    check(capture("focus_after", orange, 640, 480), "the session draws again once the focus is back");
    grSstWinClose();
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix game DirectDraw test");
    if (!hwnd) return kx::finish(1);
    GameDraw game;
    bool started = game.start(hwnd);
    check(started, "the game's DirectDraw is exclusive at 800x600, 16-bit, with its primary");
    if (!started) return kx::finish(1);
    check(game.fill(green) == DD_OK, "the game fills its primary");
    check(capture("game_menu", green, menuWidth, menuHeight), "the game's menu is on the screen");
    DEVMODEA menuMode = currentMode("of the menus");
    check(menuMode.dmPelsWidth == menuWidth && menuMode.dmPelsHeight == menuHeight &&
              menuMode.dmBitsPerPel == menuBits,
          "the game's own 800x600 mode is in force");

    grGlideInit();
    sessionBetweenMenus(game, hwnd, "glide_beside_exclusive", red, "menu_after_exclusive", blue);
    check(game.draw->SetCooperativeLevel(hwnd, DDSCL_NORMAL) == DD_OK, "the game drops to the normal level");
    sessionBetweenMenus(game, hwnd, "glide_after_normal", yellow, "menu_after_normal", magenta);
    game.end();
    kx::pump(settleMs);

    focusTakenAndGivenBack(hwnd);
    grGlideShutdown();
    check(kx::expect_log({"~ in force before the open, put back: done"}),
          "asked the runner to check the log");
    return kx::finish(failures ? 1 : 0);
}
