// Simulated Direct3D 7: the Direct3D object and devices. Records state; draws only when rasterising is on.
#include "sim/sim_raster.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace detail {

namespace {

const GUID *deviceGuid(DeviceType t) {
    switch (t) {
    case DeviceType::TnLHal:
        return &IID_IDirect3DTnLHalDevice;
    case DeviceType::Hal:
        return &IID_IDirect3DHALDevice;
    case DeviceType::Mmx:
        return &IID_IDirect3DMMXDevice;
    case DeviceType::Rgb:
        return &IID_IDirect3DRGBDevice;
    default:
        return &IID_IDirect3DRefDevice;
    }
}

int deviceIndex(REFCLSID id) {
    for (int i = 0; i < 5; ++i)
        if (id == *deviceGuid(static_cast<DeviceType>(i))) return i;
    return -1;
}

// Vertex size in bytes for a flexible vertex format.
DWORD fvfStride(DWORD fvf) {
    DWORD size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        size = 12;
        break;
    case D3DFVF_XYZRHW:
        size = 16;
        break;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5:
        size = 12 + 4 * (((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZ) / 2);
        break;
    default:
        break;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_RESERVED1) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    DWORD tex = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD i = 0; i < tex; ++i) {
        switch ((fvf >> (16 + 2 * i)) & 3) {
        case D3DFVF_TEXTUREFORMAT1:
            size += 4;
            break;
        case D3DFVF_TEXTUREFORMAT3:
            size += 12;
            break;
        case D3DFVF_TEXTUREFORMAT4:
            size += 16;
            break;
        default:
            size += 8;
            break;
        }
    }
    return size;
}

} // namespace

struct Direct3DImpl final : IDirect3D7, ObjectBase {
    DirectDrawImpl *dd = nullptr; // holds a reference

    std::string describe() const override { return "IDirect3D7"; }
    void destroy() override {
        if (dd) internalRelease(dd);
        dd = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override {
        return queryOwnInterface<IDirect3D7>(this, IID_IDirect3D7, riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }

    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK7 cb, LPVOID ctx) override;
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE7 lpDDS,
                                           LPDIRECT3DDEVICE7 *out) override;
    HRESULT STDMETHODCALLTYPE EnumZBufferFormats(REFCLSID riidDevice, LPD3DENUMPIXELFORMATSCALLBACK cb,
                                                 LPVOID ctx) override {
        HRESULT hr = checkFault("EnumZBufferFormats");
        int idx = deviceIndex(riidDevice);
        if (recordingOn())
            record("EnumZBufferFormats", this, hr).args = {
                static_cast<unsigned long long>(idx < 0 ? 99 : idx)};
        if (hr != S_OK) return hr;
        if (!cb || idx < 0) return DDERR_INVALIDPARAMS;
        // A copy: the callback may change the configuration.
        std::vector<DDPIXELFORMAT> formats = world().devices5[idx].depthFormats;
        for (DDPIXELFORMAT pf : formats)
            if (cb(&pf, ctx) == D3DENUMRET_CANCEL) break;
        return D3D_OK;
    }
    HRESULT STDMETHODCALLTYPE EvictManagedTextures() override {
        HRESULT hr = checkFault("EvictManagedTextures");
        if (recordingOn()) record("EvictManagedTextures", this, hr);
        return hr;
    }
};

struct DeviceImpl final : IDirect3DDevice7, ObjectBase {
    Direct3DImpl *d3d = nullptr;   // holds a reference
    SurfaceImpl *target = nullptr; // holds a reference
    DeviceType type = DeviceType::Hal;
    DWORD rs[256] = {};
    DWORD tss[8][32] = {};
    SurfaceImpl *tex[8] = {}; // each holds a reference, as SetTexture does in D3D7
    D3DVIEWPORT7 vp{};
    bool scene = false;

    std::string describe() const override {
        static const char *names[] = {"T&L HAL", "HAL", "MMX", "RGB", "reference"};
        return std::string("IDirect3DDevice7 (") + names[static_cast<int>(type)] + ")";
    }
    void destroy() override {
        for (SurfaceImpl *&t : tex) {
            if (t) internalRelease(t);
            t = nullptr;
        }
        if (target) internalRelease(target);
        target = nullptr;
        if (d3d) internalRelease(d3d);
        d3d = nullptr;
    }

    // Draws into the target when the simulation rasterises.
    void rasterise(D3DPRIMITIVETYPE type, DWORD fvf, const void *verts, DWORD vcount, const WORD *indices,
                   DWORD icount) {
        if (!world().rasterising || !target || target->destroyed) return;
        RasterDevice view{rs, tss, tex, target, depthBuffer(), vp};
        rasterisePrimitive(view, type, fvf, verts, vcount, indices, icount);
    }

    SurfaceImpl *depthBuffer() const {
        if (!target || target->destroyed) return nullptr;
        for (SurfaceImpl *a : target->attached)
            if (a->role == SurfaceRole::ZBuffer && !a->destroyed) return a;
        return nullptr;
    }

    void setDefaults() {
        bool z = depthBuffer() != nullptr;
        rs[D3DRENDERSTATE_ZENABLE] = z ? D3DZB_TRUE : D3DZB_FALSE;
        rs[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
        rs[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
        rs[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
        rs[D3DRENDERSTATE_LASTPIXEL] = TRUE;
        rs[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
        rs[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
        rs[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
        rs[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
        rs[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
        rs[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
        rs[D3DRENDERSTATE_FOGTABLEMODE] = D3DFOG_NONE;
        rs[D3DRENDERSTATE_FOGVERTEXMODE] = D3DFOG_NONE;
        rs[D3DRENDERSTATE_FOGTABLEEND] = 0x3F800000; // 1.0f
        rs[D3DRENDERSTATE_FOGTABLEDENSITY] = 0x3F800000;
        rs[D3DRENDERSTATE_STENCILFUNC] = D3DCMP_ALWAYS;
        rs[D3DRENDERSTATE_STENCILMASK] = 0xFFFFFFFF;
        rs[D3DRENDERSTATE_STENCILWRITEMASK] = 0xFFFFFFFF;
        rs[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
        rs[D3DRENDERSTATE_CLIPPING] = TRUE;
        rs[D3DRENDERSTATE_LIGHTING] = TRUE;
        rs[D3DRENDERSTATE_COLORVERTEX] = TRUE;
        rs[D3DRENDERSTATE_LOCALVIEWER] = TRUE;
        for (DWORD s = 0; s < 8; ++s) {
            tss[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
            tss[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
            tss[s][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
            tss[s][D3DTSS_COLORARG2] = D3DTA_CURRENT;
            tss[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
            tss[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
            tss[s][D3DTSS_TEXCOORDINDEX] = s;
            tss[s][D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
            tss[s][D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
            tss[s][D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
            tss[s][D3DTSS_MAGFILTER] = D3DTFG_POINT;
            tss[s][D3DTSS_MINFILTER] = D3DTFN_POINT;
            tss[s][D3DTSS_MIPFILTER] = D3DTFP_NONE;
            tss[s][D3DTSS_MAXANISOTROPY] = 1;
        }
        vp = D3DVIEWPORT7{0, 0, target->width, target->height, 0.0f, 1.0f};
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override {
        return queryOwnInterface<IDirect3DDevice7>(this, IID_IDirect3DDevice7, riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }

    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC7 out) override {
        HRESULT hr = checkFault("GetCaps");
        if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) {
            *out = world().devices5[static_cast<int>(type)].caps;
            out->deviceGUID = *deviceGuid(type);
        }
        if (recordingOn()) record("GetCaps", this, hr);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK cb, LPVOID ctx) override {
        HRESULT hr = checkFault("EnumTextureFormats");
        if (recordingOn()) record("EnumTextureFormats", this, hr);
        if (hr != S_OK) return hr;
        if (!cb) return DDERR_INVALIDPARAMS;
        std::vector<DDPIXELFORMAT> formats = world().devices5[static_cast<int>(type)].textureFormats;
        for (DDPIXELFORMAT pf : formats)
            if (cb(&pf, ctx) == D3DENUMRET_CANCEL) break;
        return D3D_OK;
    }

    HRESULT STDMETHODCALLTYPE BeginScene() override {
        HRESULT hr = checkFault("BeginScene");
        if (hr == S_OK && scene) hr = D3DERR_SCENE_IN_SCENE;
        if (hr == S_OK && target && target->lost) hr = DDERR_SURFACELOST;
        if (hr == S_OK) scene = true;
        if (recordingOn()) record("BeginScene", this, hr);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE EndScene() override {
        HRESULT hr = checkFault("EndScene");
        if (hr == S_OK && !scene) hr = D3DERR_SCENE_NOT_IN_SCENE;
        if (hr == S_OK) scene = false;
        if (recordingOn()) record("EndScene", this, hr);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetDirect3D(LPDIRECT3D7 *out) override {
        HRESULT hr = checkFault("GetDirect3D");
        if (hr == S_OK && (!out || !d3d)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) {
            ++d3d->refs;
            *out = d3d;
        }
        if (recordingOn()) record("GetDirect3D", this, hr);
        return hr;
    }

    // The depth buffer is whatever the new target has attached; the viewport stays as it was.
    HRESULT STDMETHODCALLTYPE SetRenderTarget(LPDIRECTDRAWSURFACE7 lpNewRenderTarget,
                                              DWORD dwFlags) override {
        HRESULT hr = checkFault("SetRenderTarget");
        SurfaceImpl *t = surfaceFromInterface(lpNewRenderTarget);
        if (hr == S_OK) {
            if (!t || t->destroyed) {
                hr = DDERR_INVALIDPARAMS;
            } else if (!(t->caps.dwCaps & DDSCAPS_3DDEVICE)) {
                hr = DDERR_INVALIDCAPS;
            } else if (t->lost) {
                hr = DDERR_SURFACELOST;
            } else if (t != target) {
                internalAddRef(t);
                if (target) internalRelease(target);
                target = t;
            }
        }
        if (recordingOn()) {
            Call &c = record("SetRenderTarget", this, hr);
            c.args = {dwFlags};
            c.source = lpNewRenderTarget;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetRenderTarget(LPDIRECTDRAWSURFACE7 *out) override {
        HRESULT hr = checkFault("GetRenderTarget");
        if (hr == S_OK && (!out || !target)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) {
            ++target->refs;
            *out = target;
        }
        if (recordingOn()) record("GetRenderTarget", this, hr);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags, D3DCOLOR dwColor,
                                    D3DVALUE dvZ, DWORD dwStencil) override {
        HRESULT hr = checkFault("Clear");
        SurfaceImpl *z = depthBuffer();
        if (hr == S_OK) {
            if ((dwCount > 0 && !lpRects) ||
                !(dwFlags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))) {
                hr = DDERR_INVALIDPARAMS;
            } else if ((dwFlags & D3DCLEAR_ZBUFFER) && !z) {
                hr = D3DERR_ZBUFFER_NOTPRESENT;
            } else if (!target || target->destroyed) {
                hr = DDERR_INVALIDOBJECT;
            } else if (target->lost) {
                hr = DDERR_SURFACELOST;
            } else if (target->locked || (z && z->locked)) {
                hr = DDERR_SURFACEBUSY;
            } else {
                std::vector<D3DRECT> rects;
                D3DRECT whole;
                whole.x1 = static_cast<LONG>(vp.dwX);
                whole.y1 = static_cast<LONG>(vp.dwY);
                whole.x2 = static_cast<LONG>(vp.dwX + vp.dwWidth);
                whole.y2 = static_cast<LONG>(vp.dwY + vp.dwHeight);
                if (dwCount == 0) rects.push_back(whole);
                for (DWORD i = 0; i < dwCount; ++i) {
                    D3DRECT r = lpRects[i];
                    r.x1 = std::max(r.x1, whole.x1);
                    r.y1 = std::max(r.y1, whole.y1);
                    r.x2 = std::min(r.x2, whole.x2);
                    r.y2 = std::min(r.y2, whole.y2);
                    rects.push_back(r);
                }
                uint32_t color = packRgb(target->pf, dwColor & 0xFFFFFF);
                if (target->pf.dwFlags & DDPF_ALPHAPIXELS) {
                    DWORD m = target->pf.dwRGBAlphaBitMask;
                    uint32_t a = dwColor >> 24;
                    uint32_t full = 0, shift = 0;
                    while (shift < 32 && !(m & (1u << shift)))
                        ++shift;
                    full = m >> shift;
                    color = (color & ~m) | ((((a * full + 127) / 255) << shift) & m);
                }
                double zc = std::min(1.0, std::max(0.0, static_cast<double>(dvZ)));
                uint32_t zv = z ? static_cast<uint32_t>(zc * z->pf.dwZBitMask + 0.5) & z->pf.dwZBitMask : 0;
                for (const D3DRECT &r : rects) {
                    if (dwFlags & D3DCLEAR_TARGET) target->fill(RECT{r.x1, r.y1, r.x2, r.y2}, color);
                    if ((dwFlags & D3DCLEAR_ZBUFFER) && z)
                        z->fill(RECT{r.x1, r.y1, std::min<LONG>(r.x2, static_cast<LONG>(z->width)),
                                     std::min<LONG>(r.y2, static_cast<LONG>(z->height))},
                                zv);
                }
            }
        }
        if (recordingOn()) {
            Call &c = record("Clear", this, hr);
            c.args = {dwCount, dwFlags, dwColor, dwStencil};
            c.fargs = {static_cast<double>(dvZ)};
            if (lpRects) {
                const unsigned char *b = reinterpret_cast<const unsigned char *>(lpRects);
                c.data.assign(b, b + dwCount * sizeof(D3DRECT));
            }
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT7 v) override {
        HRESULT hr = checkFault("SetViewport");
        if (hr == S_OK) {
            if (!v || !target || v->dwX + v->dwWidth > target->width ||
                v->dwY + v->dwHeight > target->height || v->dwWidth == 0 || v->dwHeight == 0) {
                hr = DDERR_INVALIDPARAMS;
            } else {
                vp = *v;
            }
        }
        if (recordingOn()) {
            Call &c = record("SetViewport", this, hr);
            if (v) c.viewport = *v;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT7 v) override {
        HRESULT hr = checkFault("GetViewport");
        if (hr == S_OK && !v) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) *v = vp;
        if (recordingOn()) record("GetViewport", this, hr);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        HRESULT hr = checkFault("SetRenderState");
        DWORD s = static_cast<DWORD>(state);
        if (hr == S_OK && (s == 0 || s >= 256)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) rs[s] = value;
        if (recordingOn()) record("SetRenderState", this, hr).args = {s, value};
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override {
        HRESULT hr = checkFault("GetRenderState");
        DWORD s = static_cast<DWORD>(state);
        if (hr == S_OK && (s == 0 || s >= 256 || !value)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) *value = rs[s];
        if (recordingOn()) record("GetRenderState", this, hr).args = {s};
        return hr;
    }

    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID verts, DWORD count,
                                            DWORD flags) override {
        World &w = world();
        ++w.counters.drawPrimitive;
        w.counters.vertices += count;
        // The benchmark path: no recording, no faults, only the checks a driver would make.
        if (!w.recording && w.faults.empty()) {
            if (!scene) return D3DERR_SCENE_NOT_IN_SCENE;
            if (!verts || !count) return DDERR_INVALIDPARAMS;
            rasterise(type, fvf, verts, count, nullptr, 0);
            return D3D_OK;
        }
        HRESULT hr = checkFault("DrawPrimitive");
        DWORD stride = fvfStride(fvf);
        if (hr == S_OK) {
            if (!scene) {
                hr = D3DERR_SCENE_NOT_IN_SCENE;
            } else if (!verts || count == 0 || stride == 0 || type < D3DPT_POINTLIST ||
                       type > D3DPT_TRIANGLEFAN) {
                hr = DDERR_INVALIDPARAMS;
            }
        }
        if (hr == S_OK) rasterise(type, fvf, verts, count, nullptr, 0);
        if (w.recording) {
            Call &c = record("DrawPrimitive", this, hr);
            c.args = {static_cast<unsigned long long>(type), fvf, count, flags};
            if (verts) {
                const unsigned char *b = static_cast<const unsigned char *>(verts);
                c.data.assign(b, b + static_cast<size_t>(stride) * count);
            }
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID verts,
                                                   DWORD vcount, LPWORD indices, DWORD icount,
                                                   DWORD flags) override {
        World &w = world();
        ++w.counters.drawIndexedPrimitive;
        w.counters.vertices += vcount;
        if (!w.recording && w.faults.empty()) {
            if (!scene) return D3DERR_SCENE_NOT_IN_SCENE;
            if (!verts || !vcount || !indices || !icount) return DDERR_INVALIDPARAMS;
            rasterise(type, fvf, verts, vcount, indices, icount);
            return D3D_OK;
        }
        HRESULT hr = checkFault("DrawIndexedPrimitive");
        DWORD stride = fvfStride(fvf);
        if (hr == S_OK) {
            if (!scene) {
                hr = D3DERR_SCENE_NOT_IN_SCENE;
            } else if (!verts || !vcount || !indices || !icount || stride == 0 || type < D3DPT_POINTLIST ||
                       type > D3DPT_TRIANGLEFAN) {
                hr = DDERR_INVALIDPARAMS;
            } else if (std::any_of(indices, indices + icount, [vcount](WORD i) { return i >= vcount; })) {
                hr = DDERR_INVALIDPARAMS; // an index past the vertex count would read foreign memory
            }
        }
        if (hr == S_OK) rasterise(type, fvf, verts, vcount, indices, icount);
        if (w.recording) {
            Call &c = record("DrawIndexedPrimitive", this, hr);
            c.args = {static_cast<unsigned long long>(type), fvf, vcount, icount, flags};
            if (verts) {
                const unsigned char *b = static_cast<const unsigned char *>(verts);
                c.data.assign(b, b + static_cast<size_t>(stride) * vcount);
            }
            if (indices) c.indices.assign(indices, indices + icount);
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 *out) override {
        HRESULT hr = checkFault("GetTexture");
        if (hr == S_OK && (stage >= 8 || !out)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) {
            *out = tex[stage];
            if (tex[stage]) ++tex[stage]->refs;
        }
        if (recordingOn()) record("GetTexture", this, hr).args = {stage};
        return hr;
    }

    HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 surface) override {
        HRESULT hr = checkFault("SetTexture");
        SurfaceImpl *s = surfaceFromInterface(surface);
        if (hr == S_OK) {
            if (stage >= 8 || (surface && (!s || s->destroyed || !(s->caps.dwCaps & DDSCAPS_TEXTURE)))) {
                hr = DDERR_INVALIDPARAMS;
            } else {
                if (s) internalAddRef(s);
                if (tex[stage]) internalRelease(tex[stage]);
                tex[stage] = s;
            }
        }
        if (recordingOn()) {
            Call &c = record("SetTexture", this, hr);
            c.args = {stage};
            c.source = surface;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                   LPDWORD out) override {
        HRESULT hr = checkFault("GetTextureStageState");
        DWORD t = static_cast<DWORD>(type);
        if (hr == S_OK && (stage >= 8 || t == 0 || t >= 32 || !out)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) *out = tss[stage][t];
        if (recordingOn()) record("GetTextureStageState", this, hr).args = {stage, t};
        return hr;
    }

    HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                   DWORD value) override {
        HRESULT hr = checkFault("SetTextureStageState");
        DWORD t = static_cast<DWORD>(type);
        if (hr == S_OK && (stage >= 8 || t == 0 || t >= 32)) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) tss[stage][t] = value;
        if (recordingOn()) record("SetTextureStageState", this, hr).args = {stage, t, value};
        return hr;
    }

    HRESULT STDMETHODCALLTYPE ValidateDevice(LPDWORD passes) override {
        HRESULT hr = checkFault("ValidateDevice");
        if (hr == S_OK && !passes) hr = DDERR_INVALIDPARAMS;
        if (hr == S_OK) *passes = 1;
        if (recordingOn()) record("ValidateDevice", this, hr);
        return hr;
    }
};

HRESULT Direct3DImpl::EnumDevices(LPD3DENUMDEVICESCALLBACK7 cb, LPVOID ctx) {
    HRESULT hr = checkFault("EnumDevices");
    if (recordingOn()) record("EnumDevices", this, hr);
    if (hr != S_OK) return hr;
    if (!cb) return DDERR_INVALIDPARAMS;
    // The order Direct3D 7 reports its devices in: software first, hardware last.
    static const DeviceType order[] = {DeviceType::Rgb, DeviceType::Hal, DeviceType::TnLHal};
    static const char *descs[] = {
        "Microsoft Direct3D RGB Software Emulation",
        "Microsoft Direct3D Hardware acceleration through Direct3D HAL",
        "Microsoft Direct3D Hardware Transform and Lighting acceleration capable device"};
    static const char *names[] = {"RGB Emulation", "Direct3D HAL", "Direct3D T&L HAL"};
    for (int i = 0; i < 3; ++i) {
        const DeviceConfig &cfg = world().devices5[static_cast<int>(order[i])];
        if (!cfg.createSucceeds) continue;
        D3DDEVICEDESC7 desc = cfg.caps;
        desc.deviceGUID = *deviceGuid(order[i]);
        std::string d = descs[i], n = names[i];
        if (cb(&d[0], &n[0], &desc, ctx) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT Direct3DImpl::CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE7 lpDDS, LPDIRECT3DDEVICE7 *out) {
    HRESULT hr = checkFault("CreateDevice");
    int idx = deviceIndex(rclsid);
    SurfaceImpl *t = surfaceFromInterface(lpDDS);
    DeviceImpl *made = nullptr;
    if (out) *out = nullptr;
    if (hr == S_OK) {
        if (!out || idx < 0 || !t || t->destroyed) {
            hr = DDERR_INVALIDPARAMS;
        } else if (!world().devices5[idx].createSucceeds) {
            hr = world().devices5[idx].createError;
        } else if (!(t->caps.dwCaps & DDSCAPS_3DDEVICE)) {
            hr = DDERR_INVALIDCAPS; // a render target must be created with DDSCAPS_3DDEVICE
        } else {
            auto dev = std::make_unique<DeviceImpl>();
            made = dev.get();
            made->type = static_cast<DeviceType>(idx);
            made->d3d = this;
            internalAddRef(this);
            made->target = t;
            internalAddRef(t);
            made->setDefaults();
            world().devices.insert(static_cast<IDirect3DDevice7 *>(made));
            world().objects.push_back(std::move(dev));
            *out = made;
        }
    }
    if (recordingOn()) {
        Call &c = record("CreateDevice", this, hr);
        c.args = {static_cast<unsigned long long>(idx < 0 ? 99 : idx)};
        c.source = lpDDS;
        c.result = made ? static_cast<IDirect3DDevice7 *>(made) : nullptr;
    }
    return hr;
}

IDirect3D7 *createDirect3D(DirectDrawImpl *dd) {
    auto d = std::make_unique<Direct3DImpl>();
    Direct3DImpl *raw = d.get();
    raw->dd = dd;
    internalAddRef(dd);
    world().objects.push_back(std::move(d));
    return raw;
}

namespace {

DeviceImpl *deviceFrom(IDirect3DDevice7 *d) {
    if (!d || !world().devices.count(d)) return nullptr;
    return static_cast<DeviceImpl *>(d);
}

D3DPRIMCAPS primCaps(bool line) {
    D3DPRIMCAPS p{};
    p.dwSize = sizeof(p);
    p.dwMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    p.dwRasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX |
                     D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_ZBIAS |
                     D3DPRASTERCAPS_FOGRANGE | D3DPRASTERCAPS_ANISOTROPY | D3DPRASTERCAPS_WFOG |
                     D3DPRASTERCAPS_ZFOG | D3DPRASTERCAPS_WBUFFER;
    p.dwZCmpCaps = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                   D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
    p.dwAlphaCmpCaps = p.dwZCmpCaps;
    p.dwSrcBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR |
                       D3DPBLENDCAPS_INVSRCCOLOR | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA |
                       D3DPBLENDCAPS_DESTALPHA | D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR |
                       D3DPBLENDCAPS_INVDESTCOLOR | D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA |
                       D3DPBLENDCAPS_BOTHINVSRCALPHA;
    p.dwDestBlendCaps = p.dwSrcBlendCaps;
    p.dwShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                    D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
    p.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                      D3DPTEXTURECAPS_TRANSPARENCY | D3DPTEXTURECAPS_ALPHAPALETTE;
    p.dwTextureFilterCaps =
        D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MIPNEAREST |
        D3DPTFILTERCAPS_MIPLINEAR | D3DPTFILTERCAPS_LINEARMIPNEAREST | D3DPTFILTERCAPS_LINEARMIPLINEAR |
        D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
        D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    p.dwTextureBlendCaps = D3DPTBLENDCAPS_DECAL | D3DPTBLENDCAPS_MODULATE | D3DPTBLENDCAPS_DECALALPHA |
                           D3DPTBLENDCAPS_MODULATEALPHA | D3DPTBLENDCAPS_DECALMASK |
                           D3DPTBLENDCAPS_MODULATEMASK | D3DPTBLENDCAPS_COPY | D3DPTBLENDCAPS_ADD;
    p.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                             D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
    (void)line;
    return p;
}

D3DDEVICEDESC7 defaultCaps(DeviceType t) {
    bool hw = t == DeviceType::Hal || t == DeviceType::TnLHal;
    D3DDEVICEDESC7 c{};
    c.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY |
                  D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                  D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX;
    if (hw)
        c.dwDevCaps |= D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                       D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_CANBLTSYSTONONLOCAL;
    if (t == DeviceType::TnLHal) c.dwDevCaps |= D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    c.dpcLineCaps = primCaps(true);
    c.dpcTriCaps = primCaps(false);
    c.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
    c.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    c.dwMinTextureWidth = 1;
    c.dwMinTextureHeight = 1;
    c.dwMaxTextureWidth = 2048;
    c.dwMaxTextureHeight = 2048;
    c.dwMaxTextureRepeat = 8192;
    c.dwMaxTextureAspectRatio = 2048;
    c.dwMaxAnisotropy = 4;
    c.dvGuardBandLeft = -4096.0f;
    c.dvGuardBandTop = -4096.0f;
    c.dvGuardBandRight = 4095.0f;
    c.dvGuardBandBottom = 4095.0f;
    c.dwFVFCaps = 8; // texture coordinate sets
    c.dwTextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                        D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                        D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_ADDSIGNED2X |
                        D3DTEXOPCAPS_SUBTRACT | D3DTEXOPCAPS_ADDSMOOTH | D3DTEXOPCAPS_BLENDDIFFUSEALPHA |
                        D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_BLENDFACTORALPHA |
                        D3DTEXOPCAPS_BLENDTEXTUREALPHAPM | D3DTEXOPCAPS_BLENDCURRENTALPHA |
                        D3DTEXOPCAPS_PREMODULATE | D3DTEXOPCAPS_MODULATEALPHA_ADDCOLOR |
                        D3DTEXOPCAPS_MODULATECOLOR_ADDALPHA | D3DTEXOPCAPS_MODULATEINVALPHA_ADDCOLOR |
                        D3DTEXOPCAPS_MODULATEINVCOLOR_ADDALPHA | D3DTEXOPCAPS_DOTPRODUCT3;
    c.wMaxTextureBlendStages = 8;
    c.wMaxSimultaneousTextures = hw ? 2 : 8;
    c.dwMaxActiveLights = 8;
    c.dvMaxVertexW = 1e10f;
    c.deviceGUID = *deviceGuid(t);
    c.wMaxUserClipPlanes = t == DeviceType::TnLHal ? 6 : 0;
    return c;
}

} // namespace

void resetDeviceConfigs() {
    World &w = world();
    for (int i = 0; i < 5; ++i) {
        DeviceConfig &c = w.devices5[i];
        c = DeviceConfig{};
        c.depthFormats = {sim::depthFormat(16, 0xFFFF)};
        c.textureFormats = {
            sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0),
            sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0),
            sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
            sim::rgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
            sim::rgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0),
            sim::rgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000),
        };
        c.caps = defaultCaps(static_cast<DeviceType>(i));
    }
}

} // namespace detail

using namespace detail;

DeviceConfig &deviceConfig(DeviceType type) {
    return world().devices5[static_cast<int>(type)];
}

DeviceType deviceTypeOf(IDirect3DDevice7 *device) {
    DeviceImpl *d = deviceFrom(device);
    return d ? d->type : DeviceType::Ref;
}

std::vector<IDirect3DDevice7 *> liveDevices() {
    std::vector<IDirect3DDevice7 *> out;
    for (auto &o : world().objects) {
        auto *d = dynamic_cast<DeviceImpl *>(o.get());
        if (d && !d->destroyed) out.push_back(d);
    }
    return out;
}

DWORD renderState(IDirect3DDevice7 *device, D3DRENDERSTATETYPE state) {
    DeviceImpl *d = deviceFrom(device);
    DWORD s = static_cast<DWORD>(state);
    return d && s < 256 ? d->rs[s] : 0;
}

DWORD textureStageState(IDirect3DDevice7 *device, DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DeviceImpl *d = deviceFrom(device);
    DWORD t = static_cast<DWORD>(type);
    return d && stage < 8 && t < 32 ? d->tss[stage][t] : 0;
}

IDirectDrawSurface7 *boundTexture(IDirect3DDevice7 *device, DWORD stage) {
    DeviceImpl *d = deviceFrom(device);
    return d && stage < 8 ? d->tex[stage] : nullptr;
}

D3DVIEWPORT7 viewport(IDirect3DDevice7 *device) {
    DeviceImpl *d = deviceFrom(device);
    return d ? d->vp : D3DVIEWPORT7{};
}

bool inScene(IDirect3DDevice7 *device) {
    DeviceImpl *d = deviceFrom(device);
    return d && d->scene;
}

DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

DDPIXELFORMAT depthFormat(DWORD bits, DWORD zMask) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_ZBUFFER;
    pf.dwZBufferBitDepth = bits;
    pf.dwZBitMask = zMask;
    return pf;
}

} // namespace sim
