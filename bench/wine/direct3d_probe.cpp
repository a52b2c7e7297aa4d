// The frame probe straight through Direct3D 7, with the vertex the libraries draw with: the cost of the
// device calls alone, without Glide's conversion.
#include "probe.h"

#include <ddraw.h>
#include <d3d.h>

#include <cstdio>
#include <cstring>

namespace probe {
namespace {

struct Vertex {
    float x, y, z, rhw;
    DWORD diffuse, specular;
    float tu0, tv0, tu1, tv1;
};

const DWORD vertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
const DWORD white = 0xFFFFFFFFu;
const DWORD displayBits = 16;
// Vertices of one batched call: whole triangles, well inside what a device takes in one call.
const int batchVertices = 3 * 3072;

struct Device {
    IDirectDraw7 *ddraw = nullptr;
    IDirectDrawSurface7 *front = nullptr;
    IDirectDrawSurface7 *back = nullptr;
    IDirect3D7 *d3d = nullptr;
    IDirect3DDevice7 *device = nullptr;
};

template <typename T> void release(T *&object) {
    if (object) object->Release();
    object = nullptr;
}

void close(Device &d) {
    if (d.device) d.device->EndScene();
    release(d.device);
    release(d.d3d);
    release(d.front); // the back buffer goes with its flipping chain
    if (d.ddraw) {
        d.ddraw->RestoreDisplayMode();
        d.ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
    release(d.ddraw);
}

bool open(HWND window, Device &d) {
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<void **>(&d.ddraw), IID_IDirectDraw7, nullptr) != DD_OK)
        return false;
    if (d.ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) return false;
    if (d.ddraw->SetDisplayMode(screenWidth, screenHeight, displayBits, 0, 0) != DD_OK) return false;
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    if (d.ddraw->CreateSurface(&desc, &d.front, nullptr) != DD_OK) return false;
    DDSCAPS2 caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (d.front->GetAttachedSurface(&caps, &d.back) != DD_OK) return false;
    d.back->Release(); // held by the chain
    if (d.ddraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&d.d3d)) != DD_OK) return false;
    if (d.d3d->CreateDevice(IID_IDirect3DHALDevice, d.back, &d.device) != D3D_OK) return false;
    D3DVIEWPORT7 viewport = {0, 0, screenWidth, screenHeight, 0.0f, 1.0f};
    d.device->SetViewport(&viewport);
    d.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    d.device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    return d.device->BeginScene() == D3D_OK;
}

Vertex vertexAt(Point p) {
    Vertex v;
    std::memset(&v, 0, sizeof v);
    v.x = p.x;
    v.y = p.y;
    v.rhw = 1.0f;
    v.diffuse = white;
    return v;
}

void present(Device &d) {
    d.device->EndScene();
    d.front->Flip(nullptr, DDFLIP_WAIT | DDFLIP_NOVSYNC);
    d.device->BeginScene();
}

void measure(Device &d, const std::vector<Fan> &fans, Timings &out) {
    std::vector<Vertex> fanVertices, list;
    for (const Fan &fan : fans) {
        fanVertices.push_back(vertexAt(fan.centre));
        for (const Point &p : fan.rim)
            fanVertices.push_back(vertexAt(p));
        for (int t = 0; t < fanTriangles; ++t) {
            list.push_back(vertexAt(fan.centre));
            list.push_back(vertexAt(fan.rim[t]));
            list.push_back(vertexAt(fan.rim[t + 1]));
        }
    }
    const DWORD perFan = fanTriangles + 2;
    auto clear = [&] { d.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0); };
    out.ms[oneCallEach] = timeFrames([&] {
        clear();
        for (size_t t = 0; t < list.size(); t += 3)
            d.device->DrawPrimitive(D3DPT_TRIANGLELIST, vertexFormat, &list[t], 3, 0);
        present(d);
    });
    out.ms[fansOf64] = timeFrames([&] {
        clear();
        for (size_t f = 0; f < fans.size(); ++f)
            d.device->DrawPrimitive(D3DPT_TRIANGLEFAN, vertexFormat, &fanVertices[f * perFan], perFan, 0);
        present(d);
    });
    out.ms[batchedList] = timeFrames([&] {
        clear();
        for (size_t first = 0; first < list.size(); first += batchVertices) {
            size_t count = list.size() - first < batchVertices ? list.size() - first : batchVertices;
            d.device->DrawPrimitive(D3DPT_TRIANGLELIST, vertexFormat, &list[first], static_cast<DWORD>(count),
                                    0);
        }
        present(d);
    });
}

} // namespace

bool runDirect3D(HWND window, const std::vector<Fan> fans[2], Timings out[2]) {
    Device d;
    bool opened = open(window, d);
    if (opened)
        for (int size = 0; size < 2; ++size)
            measure(d, fans[size], out[size]);
    else
        std::printf("Direct3D 7 device could not be opened\n");
    close(d);
    return opened;
}

} // namespace probe
