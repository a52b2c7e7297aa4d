// DirectDraw object classes of the simulation, shared with the Direct3D part.
#ifndef KESTRIX_PLATFORM_SIM_OBJECTS_H
#define KESTRIX_PLATFORM_SIM_OBJECTS_H

#include "sim/sim_internal.h"

namespace sim {
namespace detail {

// A surface's pixel memory. Like video memory it is not cleared when it is handed out.
class PixelMemory {
  public:
    unsigned char *data() { return bytes_.get(); }
    const unsigned char *data() const { return bytes_.get(); }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    unsigned char *begin() { return data(); }
    unsigned char *end() { return data() + size_; }
    // Keeps the block when it is large enough.
    void resize(size_t size) {
        if (size > capacity_) {
            bytes_.reset(new unsigned char[size]);
            capacity_ = size;
        }
        size_ = size;
    }
    void swap(PixelMemory &other) {
        bytes_.swap(other.bytes_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

  private:
    std::unique_ptr<unsigned char[]> bytes_;
    size_t size_ = 0, capacity_ = 0;
};

struct PaletteImpl final : IDirectDrawPalette, ObjectBase {
    DirectDrawImpl *owner = nullptr;
    DWORD caps = 0;
    std::vector<PALETTEENTRY> entries;

    std::string describe() const override;
    void destroy() override {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD lpdwCaps) override;
    HRESULT STDMETHODCALLTYPE GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries,
                                         LPPALETTEENTRY lpEntries) override;
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                                         LPPALETTEENTRY lpEntries) override;
};

struct ClipperImpl final : IDirectDrawClipper, ObjectBase {
    HWND hwnd = nullptr;

    std::string describe() const override { return "IDirectDrawClipper"; }
    void destroy() override {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND *lphWnd) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD dwFlags, HWND hWnd) override;
};

ClipperImpl *clipperFromInterface(const void *p);

struct SurfaceImpl final : IDirectDrawSurface7, IDirectDrawGammaControl, ObjectBase {
    DirectDrawImpl *owner = nullptr;
    SurfaceRole role = SurfaceRole::Other;
    DDSCAPS2 caps{};
    DWORD width = 0, height = 0;
    DDPIXELFORMAT pf{};
    DWORD bpp = 0;
    LONG pitch = 0;
    PixelMemory mem;
    bool locked = false;
    bool dcOut = false;
    HDC dc = nullptr;
    bool lost = false;
    PaletteImpl *palette = nullptr;                // holds a reference
    bool hasKey[4] = {false, false, false, false}; // index by keyIndex()
    DDCOLORKEY keys[4]{};
    std::vector<SurfaceImpl *> chain; // root of a flipping chain: its back buffers, in order
    SurfaceImpl *chainRoot = nullptr;
    bool mipmapChain = false; // the chain holds the smaller mipmap levels, largest first, and does not wrap
    std::vector<SurfaceImpl *> attached; // AddAttachedSurface, each holds a reference
    ClipperImpl *clipper = nullptr;      // holds a reference

    std::string describe() const override;
    void destroy() override;
    bool canDieAtZero() const override { return !chainRoot || chainRoot->destroyed; }
    std::string leakProblems() const override;

    unsigned char *row(int y) { return mem.data() + static_cast<size_t>(y) * static_cast<size_t>(pitch); }
    HRESULT usable() const;
    RECT visiblePart(const RECT &dest) const;
    void fill(const RECT &r, uint32_t value);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE7 lpDDSAttachedSurface) override;
    // IDirectDrawGammaControl, which only the primary hands out (sim_gamma.cpp).
    HRESULT STDMETHODCALLTYPE GetGammaRamp(DWORD dwFlags, LPDDGAMMARAMP lpRampData) override;
    HRESULT STDMETHODCALLTYPE SetGammaRamp(DWORD dwFlags, LPDDGAMMARAMP lpRampData) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE7 lpDDSrcSurface, LPRECT lpSrcRect,
                                  DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE7 lpDDSrcSurface,
                                      LPRECT lpSrcRect, DWORD dwTrans) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD dwFlags,
                                                    LPDIRECTDRAWSURFACE7 lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                                                 LPDIRECTDRAWSURFACE7 *lplpDDAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 lpDDSCaps) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC *lphDC) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE *lplpDDPalette) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                                   HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT lpRect) override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER *lplpDDClipper) override;
};

struct DirectDrawImpl final : IDirectDraw7, ObjectBase {
    CooperativeLevel coop{nullptr, 0, false}; // this object's own level
    std::string describe() const override { return "IDirectDraw7"; }
    void destroy() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return addRefObject(this, "AddRef", this); }
    ULONG STDMETHODCALLTYPE Release() override { return releaseObject(this, "Release", this); }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                            LPDIRECTDRAWPALETTE *lplpDDPalette, IUnknown *pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc,
                                            LPDIRECTDRAWSURFACE7 *lplpDDSurface,
                                            IUnknown *pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC2 lpDDSurfaceDesc,
                                               LPVOID lpContext,
                                               LPDDENUMMODESCALLBACK2 lpEnumModesCallback) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD lpdwScanLine) override;
    HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(LPBOOL lpbIsInVB) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate,
                                             DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD dwFlags, HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE GetAvailableVidMem(LPDDSCAPS2 lpDDCaps, LPDWORD lpdwTotal,
                                                 LPDWORD lpdwFree) override;
    HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override;
    HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override;
    HRESULT STDMETHODCALLTYPE GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 lpdddi, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER *lplpDDClipper,
                                            IUnknown *pUnkOuter) override;
};

// Direct3D side (sim_d3d.cpp).
IDirect3D7 *createDirect3D(DirectDrawImpl *dd);

// The surface's key slot for a DDCKEY_* flag, or -1.
int keyIndex(DWORD flags);
DDPIXELFORMAT displayFormat(DWORD bpp);

} // namespace detail
} // namespace sim

#endif
