// Simulated DirectDraw clippers: a window handle that a surface's blits are clipped to.
#include "sim/sim_objects.h"

namespace sim {
namespace detail {

ClipperImpl *clipperFromInterface(const void *p) {
    if (!p || !world().clippers.count(p)) return nullptr;
    return static_cast<ClipperImpl *>(static_cast<IDirectDrawClipper *>(const_cast<void *>(p)));
}

HRESULT ClipperImpl::QueryInterface(REFIID riid, void **ppv) {
    return queryOwnInterface<IDirectDrawClipper>(this, IID_IDirectDrawClipper, riid, ppv);
}

HRESULT ClipperImpl::GetHWnd(HWND *out) {
    HRESULT hr = checkFault("GetHWnd");
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *out = hwnd;
    if (recordingOn()) record("GetHWnd", this, hr);
    return hr;
}

HRESULT ClipperImpl::SetHWnd(DWORD dwFlags, HWND hWnd) {
    HRESULT hr = checkFault("SetHWnd");
    if (hr == S_OK && dwFlags != 0) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && hWnd && !world().windows.count(idOf(hWnd))) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) hwnd = hWnd;
    if (recordingOn()) record("SetHWnd", this, hr).args = {dwFlags, idOf(hWnd)};
    return hr;
}

HRESULT DirectDrawImpl::CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER *out, IUnknown *pUnkOuter) {
    HRESULT hr = checkFault("CreateClipper");
    ClipperImpl *made = nullptr;
    if (hr == S_OK) {
        if (pUnkOuter) {
            hr = CLASS_E_NOAGGREGATION;
        } else if (!out || dwFlags != 0) {
            hr = DDERR_INVALIDPARAMS;
        } else {
            // Unlike surfaces, a clipper outlives the DirectDraw object that made it: its owner releases it.
            auto c = std::make_unique<ClipperImpl>();
            made = c.get();
            world().clippers.insert(static_cast<IDirectDrawClipper *>(made));
            world().objects.push_back(std::move(c));
            *out = made;
        }
    }
    if (hr != S_OK && out) *out = nullptr;
    if (recordingOn()) {
        Call &c = record("CreateClipper", this, hr);
        c.args = {dwFlags};
        c.result = made ? static_cast<IDirectDrawClipper *>(made) : nullptr;
    }
    return hr;
}

HRESULT SurfaceImpl::SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) {
    HRESULT hr = checkFault("SetClipper", &role);
    ClipperImpl *given = clipperFromInterface(lpDDClipper);
    if (hr == S_OK && lpDDClipper && (!given || given->destroyed)) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && destroyed) hr = DDERR_INVALIDOBJECT;
    if (hr == S_OK) {
        if (given) internalAddRef(given);
        if (clipper) internalRelease(clipper);
        clipper = given;
    }
    if (recordingOn()) record("SetClipper", this, hr).source = lpDDClipper;
    return hr;
}

HRESULT SurfaceImpl::GetClipper(LPDIRECTDRAWCLIPPER *out) {
    HRESULT hr = checkFault("GetClipper", &role);
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && !clipper) hr = DDERR_NOCLIPPERATTACHED;
    if (hr == S_OK) {
        internalAddRef(clipper);
        *out = clipper;
    }
    if (recordingOn()) record("GetClipper", this, hr);
    return hr;
}

} // namespace detail

using namespace detail;

ClipperInfo clipperInfo(IDirectDrawClipper *clipper) {
    ClipperInfo info;
    ClipperImpl *c = clipperFromInterface(clipper);
    if (!c) return info;
    info.valid = true;
    info.alive = !c->destroyed;
    info.hwnd = c->hwnd;
    info.refCount = c->refs;
    return info;
}

IDirectDrawClipper *clipperOf(IDirectDrawSurface7 *surface) {
    SurfaceImpl *s = surfaceFromInterface(surface);
    return s ? s->clipper : nullptr;
}

} // namespace sim
