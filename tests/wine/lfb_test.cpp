// Writes rectangles into the back buffer through grLfbWriteRegion (565, 1555 and 8888) and through a
// shadowed grLfbLock (1555), presents, reads the front surface back with grLfbReadRegion and has the
// runner check the screen; once on a 16-bit and once on a 32-bit display.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide2x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const char *const productKey = settings_store::productKeyPath;

// The display depth comes from the settings store; the test leaves the store as it found it.
struct SavedSetting {
    bool keyExisted;
    bool valueExisted;
    DWORD value;
};

SavedSetting saveColorDepth() {
    SavedSetting saved = {false, false, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return saved;
    saved.keyExisted = true;
    DWORD size = sizeof(saved.value);
    saved.valueExisted = RegQueryValueExA(key, "ColorDepth", nullptr, nullptr,
                                          reinterpret_cast<BYTE *>(&saved.value), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return saved;
}

bool setColorDepth(DWORD depth) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, "ColorDepth", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&depth),
                             sizeof(depth)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void restoreColorDepth(const SavedSetting &saved) {
    if (!saved.keyExisted) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, productKey);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (saved.valueExisted)
        RegSetValueExA(key, "ColorDepth", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&saved.value),
                       sizeof(saved.value));
    else
        RegDeleteValueA(key, "ColorDepth");
    RegCloseKey(key);
}

struct Rect {
    int x, y, w, h;
    uint16_t rgb565; // what grLfbReadRegion answers inside it
    int r, g, b;     // what the screen shows
};

const Rect red = {40, 40, 100, 80, 0xF800, 255, 0, 0};
const Rect green = {200, 40, 100, 80, 0x07C0, 0, 255, 0};
const Rect blue = {360, 40, 100, 80, 0x001F, 0, 0, 255};
const Rect yellow = {40, 200, 300, 100, 0xFFC0, 255, 255, 0};

template <typename Pixel> std::vector<Pixel> filled(const Rect &rect, Pixel value) {
    return std::vector<Pixel>(static_cast<size_t>(rect.w) * rect.h, value);
}

bool writeRegion(const Rect &rect, GrLfbSrcFmt_t format, const void *pixels, int bytesPerPixel) {
    return grLfbWriteRegion(GR_BUFFER_BACKBUFFER, rect.x, rect.y, format, rect.w, rect.h,
                            rect.w * bytesPerPixel, const_cast<void *>(pixels)) == FXTRUE;
}

// Fills the rectangle through a 1555 lock, which no display layout matches, so it goes through the shadow.
bool writeThroughShadow(const Rect &rect, uint16_t value) {
    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof(info));
    info.size = sizeof(info);
    if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                  FXFALSE, &info) != FXTRUE)
        return false;
    bool shadowed = info.writeMode == GR_LFBWRITEMODE_1555 && info.strideInBytes == 640 * 2;
    if (shadowed) {
        for (int y = rect.y; y < rect.y + rect.h; ++y) {
            uint16_t *row =
                reinterpret_cast<uint16_t *>(static_cast<char *>(info.lfbPtr) + y * info.strideInBytes);
            for (int x = rect.x; x < rect.x + rect.w; ++x)
                row[x] = value;
        }
    }
    return grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER) == FXTRUE && shadowed;
}

bool frontShows(const std::vector<uint16_t> &screen, const Rect &rect) {
    for (int y = rect.y; y < rect.y + rect.h; ++y)
        for (int x = rect.x; x < rect.x + rect.w; ++x)
            if (screen[y * 640 + x] != rect.rgb565) {
                std::printf("  (%d, %d) holds 0x%04X, expected 0x%04X\n", x, y, screen[y * 640 + x],
                            rect.rgb565);
                return false;
            }
    // The pixels just outside stay black.
    return screen[(rect.y - 1) * 640 + rect.x] == 0 && screen[rect.y * 640 + rect.x + rect.w] == 0;
}

void runPass(HWND hwnd, DWORD depth, const char *capture) {
    std::printf("--- ColorDepth %lu ---\n", static_cast<unsigned long>(depth));
    check(setColorDepth(depth), "ColorDepth written to the settings store");
    grGlideInit();
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen 640x480 returns FXTRUE");
    if (opened != FXTRUE) return;

    grBufferClear(0, 0, 0xFFFF);
    std::vector<uint16_t> red565 = filled<uint16_t>(red, 0xF800);
    std::vector<uint16_t> green1555 = filled<uint16_t>(green, 0x83E0);
    std::vector<uint32_t> blue8888 = filled<uint32_t>(blue, 0xFF0000FF);
    check(writeRegion(red, GR_LFB_SRC_FMT_565, red565.data(), 2), "565 region written");
    check(writeRegion(green, GR_LFB_SRC_FMT_1555, green1555.data(), 2), "1555 region written");
    check(writeRegion(blue, GR_LFB_SRC_FMT_8888, blue8888.data(), 4), "8888 region written");
    check(writeThroughShadow(yellow, 0x7FE0), "1555 shadowed lock written back");
    grBufferSwap(1);
    kx::pump(300);

    std::vector<uint16_t> screen(640 * 480, 0x1234);
    check(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 640, 480, 640 * 2, screen.data()) == FXTRUE,
          "front surface read back");
    check(frontShows(screen, red), "front surface holds the 565 rectangle");
    check(frontShows(screen, green), "front surface holds the 1555 rectangle");
    check(frontShows(screen, blue), "front surface holds the 8888 rectangle");
    check(frontShows(screen, yellow), "front surface holds the shadowed rectangle");

    const int tol = 10;
    std::vector<kx::Expect> expect;
    for (const Rect *rect : {&red, &green, &blue, &yellow}) {
        expect.push_back({rect->x + rect->w / 2, rect->y + rect->h / 2, rect->r, rect->g, rect->b, tol});
        expect.push_back({rect->x, rect->y, rect->r, rect->g, rect->b, tol});
        expect.push_back({rect->x + rect->w - 1, rect->y + rect->h - 1, rect->r, rect->g, rect->b, tol});
        expect.push_back({rect->x + rect->w, rect->y + rect->h / 2, 0, 0, 0, tol});
    }
    expect.push_back({600, 440, 0, 0, 0, tol});
    check(kx::request_capture(capture, expect, 60000), "screen shows the four rectangles");
    grSstWinClose();
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix frame buffer test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    SavedSetting saved = saveColorDepth();
    runPass(hwnd, 16, "lfb16");
    runPass(hwnd, 32, "lfb32");
    grGlideShutdown();
    restoreColorDepth(saved);
    return kx::finish(failures ? 1 : 0);
}
