// Opens 640 x 480 and captures the screen before the first present, when the engine shows
// its LOGO bitmap centred; then calls grSplash over the whole screen and captures again.
// The expected logo pixels are read from the LOGO resource inside tessel2.dll itself.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "glide2x.h"

namespace {

struct Dib {
    int width = 0, height = 0, stride = 0;
    const unsigned char *bits = nullptr;
    bool bottom_up = true;

    // Colour at (x, y) counted from the top-left corner.
    void rgb(int x, int y, int &r, int &g, int &b) const {
        int row = bottom_up ? height - 1 - y : y;
        const unsigned char *p = bits + row * stride + x * 3;
        b = p[0];
        g = p[1];
        r = p[2];
    }

    bool uniform_around(int x, int y, int radius) const {
        int r0, g0, b0;
        rgb(x, y, r0, g0, b0);
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                int r, g, b;
                rgb(x + dx, y + dy, r, g, b);
                if (r != r0 || g != g0 || b != b0) return false;
            }
        }
        return true;
    }
};

bool load_logo(Dib &dib) {
    // The import library names the engine glide2x.dll; accept its build name too.
    HMODULE engine = GetModuleHandleA("glide2x.dll");
    if (!engine) engine = GetModuleHandleA("tessel2.dll");
    if (!engine) return false;
    HRSRC res = FindResourceA(engine, "LOGO", MAKEINTRESOURCEA(2)); // RT_BITMAP
    if (!res) return false;
    HGLOBAL mem = LoadResource(engine, res);
    const auto *info = static_cast<const BITMAPINFOHEADER *>(LockResource(mem));
    if (!info || SizeofResource(engine, res) < sizeof(BITMAPINFOHEADER)) return false;
    if (info->biBitCount != 24 || info->biCompression != BI_RGB) return false;
    dib.width = info->biWidth;
    dib.height = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    dib.bottom_up = info->biHeight > 0;
    dib.stride = (dib.width * 3 + 3) & ~3;
    dib.bits = reinterpret_cast<const unsigned char *>(info) + info->biSize;
    DWORD need = info->biSize + static_cast<DWORD>(dib.stride * dib.height);
    return SizeofResource(engine, res) >= need;
}

} // namespace

int main() {
    int failures = 0;
    HWND hwnd = kx::create_window("Kestrix logo demo");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    Dib logo;
    bool have_logo = load_logo(logo);
    std::printf("%s: LOGO resource is a 24-bit bitmap inside the engine DLL (%dx%d)\n",
                have_logo ? "ok" : "FAIL", logo.width, logo.height);
    if (!have_logo) ++failures;

    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::printf("%s: grSstWinOpen 640x480\n", opened ? "ok" : "FAIL");
    if (!opened) {
        grGlideShutdown();
        return kx::finish(1);
    }
    kx::pump(300);

    // Sample the logo where its colour is flat, so that 16-bit rounding is the only error.
    std::vector<kx::Expect> expect;
    if (have_logo) {
        const int left = (640 - logo.width) / 2, top = (480 - logo.height) / 2;
        for (int y = 6; y < logo.height - 6; y += 9) {
            for (int x = 6; x < logo.width - 6; x += 13) {
                if (!logo.uniform_around(x, y, 3)) continue;
                int r, g, b;
                logo.rgb(x, y, r, g, b);
                expect.push_back({left + x, top + y, r, g, b, 10});
            }
        }
        std::printf("checking %u logo pixels\n", static_cast<unsigned>(expect.size()));
    }
    if (!kx::request_capture("logo", expect, 60000)) ++failures;

    grSplash(0, 0, 640, 480, 0);
    kx::pump(300);
    if (!kx::request_capture("splash", {}, 60000)) ++failures;

    grSstWinClose();
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
