// The primary's gamma control and the driver caps that announce it.
#include "sim/sim_objects.h"

#include <cstring>

namespace sim {
namespace detail {

HRESULT SurfaceImpl::GetGammaRamp(DWORD dwFlags, LPDDGAMMARAMP lpRampData) {
    HRESULT hr = checkFault("GetGammaRamp", &role);
    if (hr == S_OK && (!lpRampData || dwFlags != 0)) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *lpRampData = world().gammaRamp;
    if (recordingOn()) record("GetGammaRamp", this, hr);
    return hr;
}

// Without DDCAPS2_PRIMARYGAMMA the driver has no ramp to load: the call fails as drivers without it do.
HRESULT SurfaceImpl::SetGammaRamp(DWORD dwFlags, LPDDGAMMARAMP lpRampData) {
    HRESULT hr = checkFault("SetGammaRamp", &role);
    if (hr == S_OK && !lpRampData) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && (world().driverCaps2 & DDCAPS2_PRIMARYGAMMA) == 0) hr = DDERR_UNSUPPORTED;
    if (hr == S_OK) {
        world().gammaRamp = *lpRampData;
        world().gammaRampSet = true;
    }
    if (recordingOn()) {
        Call &c = record("SetGammaRamp", this, hr);
        c.args = {dwFlags};
        if (lpRampData) {
            const unsigned char *bytes = reinterpret_cast<const unsigned char *>(lpRampData);
            c.data.assign(bytes, bytes + sizeof(DDGAMMARAMP));
        }
    }
    return hr;
}

HRESULT DirectDrawImpl::GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) {
    HRESULT hr = checkFault("GetCaps");
    if (hr == S_OK && !lpDDDriverCaps && !lpDDHELCaps) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && lpDDDriverCaps && lpDDDriverCaps->dwSize != sizeof(DDCAPS)) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) {
        if (lpDDDriverCaps) {
            std::memset(lpDDDriverCaps, 0, sizeof(DDCAPS));
            lpDDDriverCaps->dwSize = sizeof(DDCAPS);
            lpDDDriverCaps->dwCaps2 = world().driverCaps2;
        }
        if (lpDDHELCaps) {
            std::memset(lpDDHELCaps, 0, sizeof(DDCAPS));
            lpDDHELCaps->dwSize = sizeof(DDCAPS);
        }
    }
    if (recordingOn()) record("GetCaps", this, hr);
    return hr;
}

} // namespace detail

using namespace detail;

void setDriverCaps2(DWORD caps2) {
    world().driverCaps2 = caps2;
}

bool gammaRampSet() {
    return world().gammaRampSet;
}

const DDGAMMARAMP &gammaRamp() {
    return world().gammaRamp;
}

} // namespace sim
