// The simulation's software rasteriser: coverage by Direct3D 7's rules, the depth test and the blend.
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const DWORD screenWidth = 640, screenHeight = 480, screenBits = 16;
const DWORD vertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
const D3DCOLOR black = 0;

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float tu0, tv0, tu1, tv1;
};

class WinsimRaster : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::reset();
        sim::setRasterising(true);
        HWND hwnd = sim::createWindow("game", RECT{0, 0, 640, 480});
        ASSERT_EQ(DD_OK,
                  DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&dd), IID_IDirectDraw7, nullptr));
        ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
        ASSERT_EQ(DD_OK, dd->SetDisplayMode(screenWidth, screenHeight, screenBits, 0, 0));
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof(d);
        d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        d.dwBackBufferCount = 1;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&d, &primary, nullptr));
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &back));
        DDSURFACEDESC2 zd{};
        zd.dwSize = sizeof(zd);
        zd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        zd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
        zd.dwWidth = screenWidth;
        zd.dwHeight = screenHeight;
        zd.ddpfPixelFormat = sim::depthFormat(16, 0xFFFF);
        ASSERT_EQ(DD_OK, dd->CreateSurface(&zd, &depth, nullptr));
        ASSERT_EQ(DD_OK, back->AddAttachedSurface(depth));
        ASSERT_EQ(DD_OK, dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&d3d)));
        ASSERT_EQ(D3D_OK, d3d->CreateDevice(IID_IDirect3DHALDevice, back, &device));
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        ASSERT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, black, 1.0f, 0));
        ASSERT_EQ(D3D_OK, device->BeginScene());
    }

    void TearDown() override {
        device->EndScene();
        for (IUnknown *object : std::vector<IUnknown *>{device, d3d, depth, back, primary, dd})
            object->Release();
        EXPECT_EQ("", sim::leakReport());
    }

    // A rectangle as a fan of two triangles, its diagonal from the top-left to the bottom-right corner.
    void drawRectangle(float left, float top, float right, float bottom, float z, D3DCOLOR argb) {
        Vertex v[4] = {{left, top, z, 1, argb, 0, 0, 0, 0, 0},
                       {right, top, z, 1, argb, 0, 0, 0, 0, 0},
                       {right, bottom, z, 1, argb, 0, 0, 0, 0, 0},
                       {left, bottom, z, 1, argb, 0, 0, 0, 0, 0}};
        ASSERT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLEFAN, vertexFormat, v, 4, 0));
    }

    uint32_t at(int x, int y) { return sim::pixel(back, x, y); }

    IDirectDraw7 *dd = nullptr;
    IDirectDrawSurface7 *primary = nullptr, *back = nullptr, *depth = nullptr;
    IDirect3D7 *d3d = nullptr;
    IDirect3DDevice7 *device = nullptr;
};

} // namespace

// Pixel centres lie at integer coordinates; an edge through a centre owns it when it is a top or left edge,
// so the two triangles of a rectangle cover each pixel once and the two rectangles tile without a gap.
TEST_F(WinsimRaster, AdjoiningTrianglesCoverEachPixelOnce) {
    const D3DCOLOR step = 0xFF080808; // added once: one step of each 565 channel (two of green)
    const uint32_t once = 0x0841;
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    drawRectangle(2.5f, 2.5f, 6.5f, 6.5f, 0.5f, step);   // no centre on its sides: pixels 3 to 6
    drawRectangle(7.0f, 3.0f, 11.0f, 7.0f, 0.5f, step);  // centres on its sides: its top and left own them
    const int left = 3, top = 3, right = 11, bottom = 7; // right and bottom outside
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 14; ++x) {
            bool inside = x >= left && x < right && y >= top && y < bottom;
            ASSERT_EQ(at(x, y), inside ? once : 0u) << "pixel " << x << ", " << y;
        }
}

// The nearer surface wins whatever the order, a farther one leaves no trace, and a blended surface in front
// mixes its colour with what lies below by its alpha and writes its depth.
TEST_F(WinsimRaster, DepthTestAndAlphaBlendDecideThePixel) {
    const uint32_t red = 0xF800, blue = 0x001F, halfGreenOverRed = 0x7C00;
    const uint32_t depthOfQuarter = 0x4000; // 0.25 of the 16-bit range, rounded
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    drawRectangle(10, 10, 30, 30, 0.5f, 0xFFFF0000);
    drawRectangle(0, 0, 40, 40, 0.75f, 0xFF0000FF);
    EXPECT_EQ(at(20, 20), red);
    EXPECT_EQ(at(35, 35), blue);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawRectangle(15, 15, 25, 25, 0.25f, 0x8000FF00);
    EXPECT_EQ(at(20, 20), halfGreenOverRed);
    EXPECT_EQ(sim::pixel(depth, 20, 20), depthOfQuarter);
    EXPECT_EQ(at(12, 12), red);
}
