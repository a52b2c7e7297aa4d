// Tests of winsim, the simulated Windows, DirectDraw 7 and Direct3D 7: its trickier contracts.
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <intrin.h>

#include <cstring>
#include <vector>
#include <sanitizer/asan_interface.h>

namespace {

class Winsim : public ::testing::Test {
  protected:
    void SetUp() override { sim::reset(); }

    // A full-screen DirectDraw with a flipping primary + back buffer at w x h x bpp.
    void openDisplay(DWORD w, DWORD h, DWORD bpp) {
        hwnd = sim::createWindow("game", RECT{0, 0, 640, 480});
        ASSERT_EQ(DD_OK,
                  DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&dd), IID_IDirectDraw7, nullptr));
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
        ASSERT_EQ(DD_OK, dd->SetDisplayMode(w, h, bpp, 0, 0));
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof(d);
        d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        d.dwBackBufferCount = 1;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&d, &primary, nullptr));
    }

    IDirectDrawSurface7 *makeSurface(DWORD caps, DWORD w, DWORD h, const DDPIXELFORMAT *pf = nullptr) {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof(d);
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (pf ? DDSD_PIXELFORMAT : 0);
        d.ddsCaps.dwCaps = caps;
        d.dwWidth = w;
        d.dwHeight = h;
        if (pf) d.ddpfPixelFormat = *pf;
        IDirectDrawSurface7 *s = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&d, &s, nullptr));
        return s;
    }

    HWND hwnd = nullptr;
    IDirectDraw7 *dd = nullptr;
    IDirectDrawSurface7 *primary = nullptr;
};

// ---- exclusive level and display mode --------------------------------------------

TEST_F(Winsim, OneObjectHoldsTheExclusiveLevelAndItsModeGoesWithIt) {
    openDisplay(800, 600, 16);
    IDirectDraw7 *other = nullptr;
    ASSERT_EQ(DD_OK,
              DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&other), IID_IDirectDraw7, nullptr));
    EXPECT_EQ(DDERR_EXCLUSIVEMODEALREADYSET,
              other->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DD_OK, other->SetCooperativeLevel(hwnd, DDSCL_NORMAL));
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, other->RestoreDisplayMode());
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, other->SetDisplayMode(640, 480, 16, 0, 0));
    EXPECT_EQ(dd, sim::exclusiveOwner());

    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(hwnd, DDSCL_NORMAL));
    ASSERT_EQ(DD_OK, other->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    ASSERT_EQ(DD_OK, other->SetDisplayMode(640, 480, 16, 0, 0));
    EXPECT_EQ(DDERR_SURFACELOST, primary->IsLost()); // every object's surfaces go with a mode change
    other->Release();
    EXPECT_EQ(1024u, sim::displayMode().width);

    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 800;
    mode.dmPelsHeight = 600;
    mode.dmBitsPerPel = 16;
    EXPECT_EQ(DISP_CHANGE_SUCCESSFUL, ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN));
    DEVMODEA current, registry;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &registry));
    EXPECT_EQ(800u, current.dmPelsWidth);
    EXPECT_EQ(1024u, registry.dmPelsWidth);
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

// ---- registry ------------------------------------------------------------------

TEST_F(Winsim, RegistryQueryFollowsTheBufferContract) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, "Software\\Kestrix", "Name", "abcdef");
    HKEY key = nullptr;
    // Key names are case-insensitive.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\kestrix", 0, KEY_READ, &key));

    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "name", nullptr, &type, nullptr, &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(7u, size) << "a REG_SZ includes its terminating zero";

    unsigned char small[8];
    std::memset(small, 0xEE, sizeof(small));
    size = 3;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "Name", nullptr, &type, small, &size));
    EXPECT_EQ(7u, size);
    EXPECT_EQ(0xEE, small[0]) << "a too-small buffer must not be written";

    size = sizeof(small);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Name", nullptr, &type, small, &size));
    EXPECT_EQ(7u, size);
    EXPECT_STREQ("abcdef", reinterpret_cast<char *>(small));
    EXPECT_EQ(0xEE, small[7]);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Missing", nullptr, &type, small, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, RegistryWritesNeedWriteAccessAndRespectDenials) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", &key));
    DWORD v = 0x12345678;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Gamma", 0, REG_DWORD, reinterpret_cast<BYTE *>(&v), 4));
    RegCloseKey(key);
    DWORD type = 0;
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(sim::registryValue(HKEY_CURRENT_USER, "software\\kestrix\\tessel", "GAMMA", &type, &bytes));
    EXPECT_EQ(REG_DWORD, type);
    ASSERT_EQ(4u, bytes.size());
    DWORD back;
    std::memcpy(&back, bytes.data(), 4);
    EXPECT_EQ(v, back);

    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegSetValueExA(key, "Gamma", 0, REG_DWORD, reinterpret_cast<BYTE *>(&v), 4))
        << "a key opened for reading cannot be written";
    RegCloseKey(key);

    sim::denyRegistryKey(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", false, true);
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", 0, KEY_READ, &key));
    RegCloseKey(key);
    sim::denyRegistryKey(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", true, false);
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrix\\Tessel", 0, KEY_READ, &key));

    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
    EXPECT_NE("", sim::leakReport()) << "an open key handle is reported";
    RegCloseKey(key);
    EXPECT_EQ("", sim::leakReport());
}

// ---- surfaces and reference counts -----------------------------------------------

TEST_F(Winsim, ComplexPrimaryHandsOutItsBackBufferWithAReference) {
    openDisplay(640, 480, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    EXPECT_EQ(sim::SurfaceRole::BackBuffer, sim::roleOf(back));
    sim::SurfaceInfo info = sim::surfaceInfo(back);
    EXPECT_EQ(640u, info.width);
    EXPECT_EQ(0xF800u, info.format.dwRBitMask) << "16 bpp displays are R5G6B5";
    EXPECT_EQ(0x07E0u, info.format.dwGBitMask);

    // Not releasing the back buffer obtained from GetAttachedSurface is a leak.
    EXPECT_EQ(0u, primary->Release());
    EXPECT_TRUE(sim::surfaceInfo(back).alive);
    EXPECT_NE(std::string::npos, sim::leakReport().find("back buffer"));
    EXPECT_EQ(0u, back->Release());
    EXPECT_FALSE(sim::surfaceInfo(back).alive);
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, BalancedBackBufferReleaseLeavesTheChainToThePrimary) {
    openDisplay(640, 480, 32);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    back->Release();
    EXPECT_TRUE(sim::surfaceInfo(back).alive) << "the chain keeps the back buffer";
    primary->Release();
    EXPECT_FALSE(sim::surfaceInfo(back).alive) << "and it dies with its primary";
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

// Each level hands out the next smaller one; the smallest has none, and the levels die with the top one.
TEST_F(Winsim, MipmapTexturesChainTheirLevels) {
    openDisplay(640, 480, 16);
    DDPIXELFORMAT pf = sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_MIPMAPCOUNT;
    d.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    d.dwWidth = 8;
    d.dwHeight = 2;
    d.ddpfPixelFormat = pf;
    d.dwMipMapCount = 5;
    IDirectDrawSurface7 *tooMany = nullptr;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->CreateSurface(&d, &tooMany, nullptr)) << "8 texels hold 4 levels";
    d.dwMipMapCount = 4;
    IDirectDrawSurface7 *top = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&d, &top, nullptr));

    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
    std::vector<IDirectDrawSurface7 *> levels = {top};
    IDirectDrawSurface7 *next = nullptr;
    while (levels.back()->GetAttachedSurface(&caps, &next) == DD_OK)
        levels.push_back(next);
    ASSERT_EQ(4u, levels.size());
    EXPECT_EQ(1u, sim::surfaceInfo(levels[3]).width);
    EXPECT_EQ(1u, sim::surfaceInfo(levels[1]).height) << "the short side stops at one texel";
    EXPECT_NE(0u, sim::surfaceInfo(levels[1]).caps.dwCaps2 & DDSCAPS2_MIPMAPSUBLEVEL);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(DD_OK, levels[1]->GetSurfaceDesc(&desc));
    EXPECT_EQ(3u, desc.dwMipMapCount);
    for (size_t i = 1; i < levels.size(); ++i)
        levels[i]->Release();
    EXPECT_EQ(DDERR_NOTFLIPPABLE, top->Flip(nullptr, 0));
    top->Release();
    EXPECT_FALSE(sim::surfaceInfo(levels[2]).alive);
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, AttachedZBufferAndDeviceHoldReferences) {
    openDisplay(640, 480, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    DDPIXELFORMAT zf = sim::depthFormat(16, 0xFFFF);
    IDirectDrawSurface7 *z = makeSurface(DDSCAPS_ZBUFFER, 640, 480, &zf);
    ASSERT_EQ(DD_OK, back->AddAttachedSurface(z));
    EXPECT_EQ(1u, z->Release()) << "the back buffer holds the z-buffer";
    EXPECT_TRUE(sim::surfaceInfo(z).alive);

    IDirect3D7 *d3d = nullptr;
    ASSERT_EQ(DD_OK, dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&d3d)));
    IDirect3DDevice7 *dev = nullptr;
    ASSERT_EQ(D3D_OK, d3d->CreateDevice(IID_IDirect3DHALDevice, back, &dev));
    EXPECT_EQ(sim::DeviceType::Hal, sim::deviceTypeOf(dev));
    EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), sim::renderState(dev, D3DRENDERSTATE_ZENABLE));
    back->Release();
    primary->Release();
    d3d->Release();
    EXPECT_NE("", sim::leakReport()) << "the device is still alive";
    EXPECT_EQ(std::vector<IDirect3DDevice7 *>{dev}, sim::liveDevices());
    dev->Release();
    EXPECT_TRUE(sim::liveDevices().empty());
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, ReleasingDirectDrawReclaimsItsSurfacesButNotOutsideReferences) {
    openDisplay(640, 480, 16);
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 64, 64);
    IDirectDrawSurface7 *plain = makeSurface(DDSCAPS_OFFSCREENPLAIN, 32, 32);
    EXPECT_EQ(3u, sim::liveSurfaces().size() - 1) << "primary, texture, plain (+ back buffer)";
    EXPECT_EQ(0u, dd->Release());
    EXPECT_TRUE(sim::liveSurfaces().empty());
    EXPECT_FALSE(sim::surfaceInfo(tex).alive);
    EXPECT_FALSE(sim::surfaceInfo(plain).alive);
    EXPECT_EQ("", sim::leakReport()) << "reclaimed surfaces are not leaks";
    EXPECT_FALSE(sim::displayMode().changed) << "the exclusive owner's release restores the desktop";

    // Using a reclaimed surface afterwards is a fault of the caller.
    tex->Release();
    EXPECT_NE(std::string::npos, sim::leakReport().find("Release on destroyed"));
}

// Surface memory is reused by later surfaces, but a pointer kept from a destroyed one still faults under
// AddressSanitizer, and the surface that reuses the memory starts out cleared.
TEST_F(Winsim, MemoryOfADestroyedSurfaceIsPoisonedUntilReusedCleared) {
    openDisplay(640, 480, 16);
    IDirectDrawSurface7 *plain = makeSurface(DDSCAPS_OFFSCREENPLAIN, 256, 256);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(DD_OK, plain->Lock(nullptr, &d, DDLOCK_WAIT, nullptr));
    unsigned char *stale = static_cast<unsigned char *>(d.lpSurface);
    std::memset(stale, 0xAB, 256 * 2);
    plain->Unlock(nullptr);
    plain->Release();
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(__asan_address_is_poisoned(stale));
#endif
    IDirectDrawSurface7 *next = makeSurface(DDSCAPS_OFFSCREENPLAIN, 256, 256);
    EXPECT_EQ(0u, sim::pixel(next, 0, 0));
    EXPECT_EQ(0u, sim::pixel(next, 255, 0));
    next->Release();

    // A smaller surface in a reused block ends where its own last row ends.
    sim::setNewSurfacesCleared(false);
    IDirectDrawSurface7 *small = makeSurface(DDSCAPS_OFFSCREENPLAIN, 256, 128);
#if defined(__SANITIZE_ADDRESS__)
    unsigned char *pixels = static_cast<unsigned char *>(sim::surfaceInfo(small).pixels);
    EXPECT_FALSE(__asan_address_is_poisoned(pixels + 256 * 2 * 128 - 1));
    EXPECT_TRUE(__asan_address_is_poisoned(pixels + 256 * 2 * 128));
#endif
    small->Release();
    primary->Release();
    dd->Release();
}

TEST_F(Winsim, LeakReportNamesAnUnreleasedSurface) {
    openDisplay(640, 480, 16);
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 128, 32);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(DD_OK, tex->Lock(nullptr, &d, DDLOCK_WAIT, nullptr));
    primary->Release();
    std::string report = sim::leakReport();
    EXPECT_NE(std::string::npos, report.find("texture 128x32")) << report;
    EXPECT_NE(std::string::npos, report.find("locked")) << report;
    EXPECT_EQ(DD_OK, tex->Unlock(nullptr));
    tex->Release();
    EXPECT_NE("", sim::leakReport()) << "DirectDraw itself is still referenced";
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, LockGivesPaddedPitchAndRefusesASecondLock) {
    sim::setPitchPadding(12);
    openDisplay(640, 480, 16);
    DDPIXELFORMAT pf = sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 10, 4, &pf);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr));
    EXPECT_EQ(32, d.lPitch) << "10 * 2 + 12 padding";
    EXPECT_EQ(0x8000u, d.ddpfPixelFormat.dwRGBAlphaBitMask);
    static_cast<WORD *>(d.lpSurface)[d.lPitch / 2 * 3 + 9] = 0x7FFF;
    DDSURFACEDESC2 again{};
    again.dwSize = sizeof(again);
    EXPECT_EQ(DDERR_SURFACEBUSY, tex->Lock(nullptr, &again, 0, nullptr));
    EXPECT_EQ(DD_OK, tex->Unlock(nullptr));
    EXPECT_EQ(0x7FFFu, sim::pixel(tex, 9, 3));
    EXPECT_NE(DD_OK, tex->Unlock(nullptr)) << "unlocking twice is an error";

    sim::failCall("Unlock", 1, DDERR_GENERIC);
    ASSERT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr));
    EXPECT_EQ(DDERR_GENERIC, tex->Unlock(nullptr));
    EXPECT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr)) << "a failed Unlock still ends the lock";
    EXPECT_EQ(DD_OK, tex->Unlock(nullptr));

    d.dwSize = sizeof(d) - 4;
    EXPECT_EQ(DDERR_INVALIDPARAMS, tex->Lock(nullptr, &d, 0, nullptr)) << "dwSize is checked";
    tex->Release();
    primary->Release();
    dd->Release();
}

TEST_F(Winsim, BltFastHonoursTheSourceColorKeyAndFlipSwapsBuffers) {
    openDisplay(64, 48, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    IDirectDrawSurface7 *src = makeSurface(DDSCAPS_OFFSCREENPLAIN, 4, 1);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(DD_OK, src->Lock(nullptr, &d, 0, nullptr));
    WORD *p = static_cast<WORD *>(d.lpSurface);
    p[0] = 0x1111;
    p[1] = 0xF81F; // the key colour
    p[2] = 0x2222;
    p[3] = 0xF81F;
    src->Unlock(nullptr);
    DDCOLORKEY key{0xF81F, 0};
    ASSERT_EQ(DD_OK, src->SetColorKey(DDCKEY_SRCBLT, &key));

    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x0505;
    ASSERT_EQ(DD_OK, back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    ASSERT_EQ(DD_OK, back->BltFast(10, 5, src, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
    EXPECT_EQ(0x1111u, sim::pixel(back, 10, 5));
    EXPECT_EQ(0x0505u, sim::pixel(back, 11, 5)) << "keyed pixel skipped";
    EXPECT_EQ(0x2222u, sim::pixel(back, 12, 5));
    EXPECT_EQ(DDERR_INVALIDRECT, back->BltFast(62, 0, src, nullptr, 0)) << "would run off the right edge";

    sim::Call last = sim::callsNamed("BltFast").back();
    EXPECT_EQ(src, last.source);
    EXPECT_EQ(DDERR_INVALIDRECT, last.hr);
    EXPECT_EQ(62u, last.args[0]);

    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(0x1111u, sim::pixel(primary, 10, 5)) << "the front now shows the drawn buffer";
    EXPECT_EQ(0u, sim::pixel(back, 10, 5));
    EXPECT_EQ(1u, sim::counters().flips);
    src->Release();
    back->Release();
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, ClippedStretchBltWritesOnlyTheClientAreaAndTheClipperOutlivesDirectDraw) {
    hwnd = sim::createWindow("game", RECT{100, 50, 108, 84});
    sim::setWindowStyle(hwnd, WS_CAPTION | WS_BORDER, 0); // client (101, 71)-(107, 83)
    ASSERT_EQ(DD_OK, DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&dd), IID_IDirectDraw7, nullptr));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(hwnd, DDSCL_NORMAL));
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    d.dwFlags = DDSD_CAPS;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&d, &primary, nullptr));
    IDirectDrawClipper *clipper = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
    ASSERT_EQ(DD_OK, clipper->SetHWnd(0, hwnd));
    ASSERT_EQ(DD_OK, primary->SetClipper(clipper));
    EXPECT_EQ(2u, sim::clipperInfo(clipper).refCount);

    DDPIXELFORMAT rgb565 = sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    IDirectDrawSurface7 *src = makeSurface(DDSCAPS_OFFSCREENPLAIN, 2, 1, &rgb565);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xF800;
    RECT left{0, 0, 1, 1};
    ASSERT_EQ(DD_OK, src->Blt(&left, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    RECT dest{99, 71, 107, 91}; // reaches past the client area's left and bottom edges
    EXPECT_EQ(DDERR_UNSUPPORTED, primary->Blt(&dest, src, nullptr, DDBLT_WAIT, nullptr));
    sim::setFormatConvertingBlt(true);
    ASSERT_EQ(DD_OK, primary->Blt(&dest, src, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0xFF0000u, sim::pixel(primary, 101, 71) & 0xFFFFFFu) << "left half of the stretch, converted";
    EXPECT_EQ(0u, sim::pixel(primary, 103, 71)) << "right half";
    EXPECT_EQ(0u, sim::pixel(primary, 100, 71)) << "outside the client area: left alone";
    EXPECT_EQ(0u, sim::pixel(primary, 101, 83));

    src->Release();
    primary->Release();
    dd->Release();
    EXPECT_NE("", sim::leakReport()) << "the clipper is its owner's to release";
    clipper->Release();
    EXPECT_EQ("", sim::leakReport());
}

// ---- fault injection --------------------------------------------------------------

TEST_F(Winsim, FaultOccurrencesCountFromTheMomentOfTheRequest) {
    openDisplay(640, 480, 16);
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 8, 8);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    ASSERT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr));
    tex->Unlock(nullptr);

    sim::failCall("Lock", 2, DDERR_SURFACELOST);
    EXPECT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr)) << "the earlier Lock does not count";
    tex->Unlock(nullptr);
    EXPECT_EQ(DDERR_SURFACELOST, tex->Lock(nullptr, &d, 0, nullptr));
    EXPECT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr)) << "only the second one fails";
    tex->Unlock(nullptr);

    sim::clearFaults();
    sim::failCall("CreateSurface", 0, DDERR_OUTOFMEMORY);
    for (int i = 0; i < 3; ++i) {
        DDSURFACEDESC2 c{};
        c.dwSize = sizeof(c);
        c.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        c.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        c.dwWidth = c.dwHeight = 8;
        IDirectDrawSurface7 *s = reinterpret_cast<IDirectDrawSurface7 *>(&c);
        EXPECT_EQ(DDERR_OUTOFMEMORY, dd->CreateSurface(&c, &s, nullptr));
        EXPECT_EQ(nullptr, s);
    }
    std::vector<sim::Call> creates = sim::callsNamed("CreateSurface");
    EXPECT_EQ(DDERR_OUTOFMEMORY, creates.back().hr) << "failed calls are recorded with their result";
    tex->Release();
    primary->Release();
    dd->Release();
}

TEST_F(Winsim, FaultsCanTargetOneSurfaceRole) {
    openDisplay(640, 480, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 8, 8);
    sim::failCallOn("Lock", sim::SurfaceRole::BackBuffer, DDERR_WASSTILLDRAWING);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    EXPECT_EQ(DD_OK, tex->Lock(nullptr, &d, 0, nullptr));
    tex->Unlock(nullptr);
    EXPECT_EQ(DDERR_WASSTILLDRAWING, back->Lock(nullptr, &d, 0, nullptr));
    EXPECT_FALSE(sim::surfaceInfo(back).locked);

    sim::failCall("LoadImageA", 1);
    sim::registerBitmapResource(sim::moduleHandle("tessel2.dll"), "LOGO",
                                sim::makeBmp24(2, 2, [](int, int) { return 0u; }));
    EXPECT_EQ(nullptr, LoadImageA(GetModuleHandleA("TESSEL2"), "logo", IMAGE_BITMAP, 0, 0, 0));
    HANDLE bmp = LoadImageA(GetModuleHandleA("TESSEL2"), "logo", IMAGE_BITMAP, 0, 0, 0);
    EXPECT_NE(nullptr, bmp);
    DeleteObject(bmp);
    tex->Release();
    back->Release();
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

// ---- bitmaps and GDI -------------------------------------------------------------

TEST_F(Winsim, BitmapFileStretchesIntoA16BitSurfaceThroughGdi) {
    openDisplay(640, 480, 16);
    // 2x2 bottom-up file: top row red, green; bottom row blue, white-ish.
    auto colour = [](int x, int y) -> uint32_t {
        static const uint32_t c[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0x808080}};
        return c[y][x];
    };
    sim::writeFile(".\\splash.bmp", std::string());
    std::vector<unsigned char> file = sim::makeBmp24(2, 2, colour);
    sim::writeFile("splash.bmp", std::string(file.begin(), file.end()));

    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageA(nullptr, ".\\splash.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bmp);
    BITMAP bm{};
    ASSERT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectA(bmp, sizeof(BITMAP), &bm));
    EXPECT_EQ(2, bm.bmWidth);
    EXPECT_EQ(2, bm.bmHeight);
    EXPECT_EQ(24, bm.bmBitsPixel);

    IDirectDrawSurface7 *plain = makeSurface(DDSCAPS_OFFSCREENPLAIN, 4, 4);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    ASSERT_NE(nullptr, old);
    EXPECT_FALSE(DeleteObject(bmp)) << "a selected bitmap cannot be deleted";
    HDC surfaceDc = nullptr;
    ASSERT_EQ(DD_OK, plain->GetDC(&surfaceDc));
    ASSERT_TRUE(StretchBlt(surfaceDc, 0, 0, 4, 4, mem, 0, 0, 2, 2, SRCCOPY));
    ASSERT_EQ(DD_OK, plain->ReleaseDC(surfaceDc));

    EXPECT_EQ(0xF800u, sim::pixel(plain, 0, 0)) << "red, scaled 2x";
    EXPECT_EQ(0xF800u, sim::pixel(plain, 1, 1));
    EXPECT_EQ(0x07E0u, sim::pixel(plain, 3, 0)) << "green";
    EXPECT_EQ(0x001Fu, sim::pixel(plain, 0, 3)) << "blue: the file is bottom-up";
    EXPECT_EQ(static_cast<uint32_t>((0x10 << 11) | (0x20 << 5) | 0x10), sim::pixel(plain, 2, 2))
        << "0x80 keeps its top bits in each field";

    EXPECT_EQ(2, sim::liveGdiObjects());
    EXPECT_NE("", sim::leakReport());
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_EQ(0, sim::liveGdiObjects());
    plain->Release();
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, TopDownBitmapsAndMissingImages) {
    std::vector<unsigned char> file = sim::makeBmp24(
        3, 2, [](int x, int y) { return (x == 0 && y == 0) ? 0xABCDEFu : 0u; }, true);
    sim::writeFile("top.bmp", std::string(file.begin(), file.end()));
    HANDLE h = LoadImageA(nullptr, "top.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, h);
    BITMAP bm{};
    GetObjectA(h, sizeof(bm), &bm);
    // DIB section bits are bottom-up: the top-left pixel sits in the last row.
    const unsigned char *bits = static_cast<const unsigned char *>(bm.bmBits);
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(12, bm.bmWidthBytes);
    EXPECT_EQ(0xEF, bits[12]);
    EXPECT_EQ(0xAB, bits[14]);
    DeleteObject(h);
    EXPECT_EQ(nullptr, LoadImageA(nullptr, "absent.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_EQ(nullptr, LoadImageA(sim::moduleHandle("x.dll"), "NOPE", IMAGE_BITMAP, 0, 0, 0));
}

// ---- files, kernel, windows --------------------------------------------------------

TEST_F(Winsim, FilesResolveInTheCurrentDirectoryAndAppend) {
    for (int i = 0; i < 2; ++i) {
        // ".." folds lexically, as on Windows, even though "logs" does not exist.
        HANDLE f = CreateFileA(".\\logs\\..\\tessel.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        SetFilePointer(f, 0, nullptr, FILE_BEGIN);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(f, "line\r\n", 6, &written, nullptr));
        EXPECT_EQ(6u, written);
        EXPECT_NE("", sim::leakReport()) << "open file handle";
        CloseHandle(f);
    }
    EXPECT_EQ("line\r\nline\r\n", sim::readFile("tessel.log")) << "appends even after seeking to the start";
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA("missing\\x.log", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA("y.log", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    sim::setFileOpenFails(true);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA("x.log", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, KernelVersionTimestampsAndWindows) {
    sim::setOsVersion(false, 4, 10, 2222);
    OSVERSIONINFOA os{};
    os.dwOSVersionInfoSize = sizeof(os);
    ASSERT_TRUE(GetVersionExA(&os));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), os.dwPlatformId);
    EXPECT_EQ(2222u, LOWORD(os.dwBuildNumber));
    EXPECT_EQ(0x040Au, HIWORD(os.dwBuildNumber)) << "9x keeps the version in the high word";

    sim::setTimeStampCounter({100, 250});
    EXPECT_EQ(100u, __rdtsc());
    EXPECT_EQ(250u, __rdtsc());
    EXPECT_GT(__rdtsc(), 250u);

    HWND w = sim::createWindow("A long window title", RECT{10, 20, 330, 260});
    char buf[7];
    EXPECT_EQ(6, GetWindowTextA(w, buf, sizeof(buf)));
    EXPECT_STREQ("A long", buf);
    ASSERT_TRUE(MoveWindow(w, 0, 0, 640, 480, TRUE));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(640, r.right);
    ASSERT_EQ(1u, sim::moveWindowCalls().size());
    EXPECT_EQ(480, sim::moveWindowCalls()[0].h);
    EXPECT_EQ(IDOK, MessageBoxA(w, "No 3D hardware", "Tessel", MB_OK | MB_ICONERROR));
    ASSERT_EQ(1u, sim::messageBoxes().size());
    EXPECT_EQ("No 3D hardware", sim::messageBoxes()[0].text);
}

// ---- Direct3D configuration and recording ------------------------------------------

TEST_F(Winsim, DeviceConfigurationDrivesCreationAndEnumeration) {
    openDisplay(640, 480, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    IDirect3D7 *d3d = nullptr;
    ASSERT_EQ(DD_OK, dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&d3d)));

    sim::deviceConfig(sim::DeviceType::TnLHal).createSucceeds = false;
    sim::deviceConfig(sim::DeviceType::Hal).depthFormats.push_back(sim::depthFormat(32, 0xFFFFFF00));
    IDirect3DDevice7 *dev = nullptr;
    EXPECT_NE(D3D_OK, d3d->CreateDevice(IID_IDirect3DTnLHalDevice, back, &dev));
    EXPECT_EQ(nullptr, dev);
    EXPECT_TRUE(sim::liveDevices().empty()) << "a refused device is not alive";

    std::vector<DWORD> depths;
    auto collect = [](LPDDPIXELFORMAT pf, LPVOID ctx) -> HRESULT {
        static_cast<std::vector<DWORD> *>(ctx)->push_back(pf->dwZBufferBitDepth);
        return D3DENUMRET_OK;
    };
    ASSERT_EQ(D3D_OK, d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, collect, &depths));
    EXPECT_EQ((std::vector<DWORD>{16, 32}), depths);
    depths.clear();
    auto first = [](LPDDPIXELFORMAT pf, LPVOID ctx) -> HRESULT {
        static_cast<std::vector<DWORD> *>(ctx)->push_back(pf->dwZBufferBitDepth);
        return D3DENUMRET_CANCEL;
    };
    d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, first, &depths);
    EXPECT_EQ(1u, depths.size()) << "enumeration stops on cancel";

    ASSERT_EQ(D3D_OK, d3d->CreateDevice(IID_IDirect3DHALDevice, back, &dev));
    D3DDEVICEDESC7 desc{};
    ASSERT_EQ(D3D_OK, dev->GetCaps(&desc));
    EXPECT_TRUE(desc.dpcTriCaps.dwSrcBlendCaps & D3DPBLENDCAPS_INVSRCALPHA);
    EXPECT_TRUE(desc.deviceGUID == IID_IDirect3DHALDevice);

    sim::clearCalls();
    struct V {
        float x, y, z, rhw;
        DWORD c;
    } tri[3] = {{0, 0, 0, 1, 0xFF0000FF}, {10, 0, 0, 1, 0}, {0, 10, 0, 1, 0}};
    EXPECT_EQ(D3DERR_SCENE_NOT_IN_SCENE,
              dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, tri, 3, 0));
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    ASSERT_EQ(D3D_OK, dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA));
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0));
    ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, tri, 3, 0));
    ASSERT_EQ(D3D_OK, dev->EndScene());
    EXPECT_EQ(0xF800u, sim::pixel(back, 639, 479)) << "Clear fills the render target";

    std::vector<sim::Call> draws = sim::callsNamed("DrawPrimitive");
    ASSERT_EQ(2u, draws.size());
    EXPECT_EQ(sizeof(tri), draws[1].data.size()) << "stride 20 from the FVF";
    EXPECT_EQ(0, std::memcmp(tri, draws[1].data.data(), sizeof(tri)));
    std::vector<sim::Call> states = sim::callsNamed("SetRenderState");
    ASSERT_EQ(1u, states.size());
    EXPECT_EQ((std::vector<unsigned long long>{D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA}), states[0].args);
    EXPECT_EQ(1.0, sim::callsNamed("Clear")[0].fargs[0]);

    sim::setRecording(false);
    dev->BeginScene();
    EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, tri, 3, 0));
    dev->EndScene();
    EXPECT_EQ(2u, sim::callsNamed("DrawPrimitive").size()) << "nothing recorded while off";
    EXPECT_EQ(3u, sim::counters().drawPrimitive);

    dev->Release();
    d3d->Release();
    back->Release();
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

TEST_F(Winsim, SetTextureKeepsTheTextureAliveUntilUnbound) {
    openDisplay(640, 480, 16);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7 *back = nullptr;
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
    IDirect3D7 *d3d = nullptr;
    dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&d3d));
    IDirect3DDevice7 *dev = nullptr;
    ASSERT_EQ(D3D_OK, d3d->CreateDevice(IID_IDirect3DHALDevice, back, &dev));
    IDirectDrawSurface7 *tex = makeSurface(DDSCAPS_TEXTURE, 16, 16);
    IDirectDrawSurface7 *plain = makeSurface(DDSCAPS_OFFSCREENPLAIN, 16, 16);
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->SetTexture(0, plain)) << "only textures can be bound";
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, tex));
    EXPECT_EQ(1u, tex->Release());
    EXPECT_TRUE(sim::surfaceInfo(tex).alive);
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, nullptr));
    EXPECT_FALSE(sim::surfaceInfo(tex).alive);
    plain->Release();
    dev->Release();
    d3d->Release();
    back->Release();
    primary->Release();
    dd->Release();
    EXPECT_EQ("", sim::leakReport());
}

} // namespace
