// Pixel formats for the simulated devices' texture format lists, and the list every device type offers.
// Knows no Glide library.
#ifndef KESTRIX_SIM_PIXEL_FORMATS_H
#define KESTRIX_SIM_PIXEL_FORMATS_H

#include <vector>

#include "sim/sim.h"

namespace texfmt {

inline DDPIXELFORMAT rgb(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    return sim::rgbFormat(bits, r, g, b, a);
}
inline DDPIXELFORMAT luminance(DWORD bits, DWORD l, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_LUMINANCE | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwLuminanceBitCount = bits;
    pf.dwLuminanceBitMask = l;
    pf.dwLuminanceAlphaBitMask = a;
    return pf;
}
inline DDPIXELFORMAT alpha8() {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_ALPHA;
    pf.dwAlphaBitDepth = 8;
    return pf;
}
inline DDPIXELFORMAT paletted(DWORD bits, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

inline DDPIXELFORMAT rgb565() {
    return rgb(16, 0xF800, 0x07E0, 0x001F, 0);
}
inline DDPIXELFORMAT argb1555() {
    return rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
}
inline DDPIXELFORMAT argb4444() {
    return rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
}
inline DDPIXELFORMAT xrgb8888() {
    return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0);
}
inline DDPIXELFORMAT argb8888() {
    return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
}

} // namespace texfmt

// The texture formats every simulated device type enumerates from now on.
inline void useTextureFormats(const std::vector<DDPIXELFORMAT> &formats) {
    for (int type = 0; type < 5; ++type)
        sim::deviceConfig(static_cast<sim::DeviceType>(type)).textureFormats = formats;
}

#endif
