// The harbour demo's textures, made by the program itself: a dusk sky encoded in YIQ 4-2-2 with its own NCC
// table, sea ripples and wooden planks in RGB 565, and a round glow in ARGB 4444.
#ifndef KESTRIX_HARBOUR_TEXTURES_H
#define KESTRIX_HARBOUR_TEXTURES_H

#include <cmath>
#include <cstdint>
#include <vector>

#include "glide3x.h"
#include "ncc_encoder.h"

namespace harbour {

using kx::Rgb;

const float pi = 3.14159265f;

inline uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    return x ^ (x >> 16);
}

inline float clamp01(float v) {
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}
inline float mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}
inline Rgb scale(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Rgb add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

inline int channel(float v) {
    return v < 0.0f ? 0 : v > 255.0f ? 255 : static_cast<int>(v);
}

inline FxU32 argb(Rgb c, float a) {
    return static_cast<FxU32>(channel(a)) << 24 | static_cast<FxU32>(channel(c.r)) << 16 |
           static_cast<FxU32>(channel(c.g)) << 8 | static_cast<FxU32>(channel(c.b));
}

inline uint16_t rgb565(Rgb c) {
    return static_cast<uint16_t>((channel(c.r) >> 3) << 11 | (channel(c.g) >> 2) << 5 | (channel(c.b) >> 3));
}

// Smooth value noise, repeating every `period` cells along x.
inline float noise(float x, float y, int period) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    fx = fx * fx * (3.0f - 2.0f * fx);
    fy = fy * fy * (3.0f - 2.0f * fy);
    auto at = [period](int cx, int cy) {
        uint32_t wrapped = static_cast<uint32_t>(((cx % period) + period) % period);
        return static_cast<float>(hash(wrapped * 7919u + static_cast<uint32_t>(cy) * 104729u) & 0xFFFF) /
               65535.0f;
    };
    return mix(mix(at(x0, y0), at(x0 + 1, y0), fx), mix(at(x0, y0 + 1), at(x0 + 1, y0 + 1), fx), fy);
}

const int skyW = 256, skyH = 64, tileSize = 64, glowSize = 32;
inline std::vector<uint8_t> skyTexels;
inline GuNccTable skyTable;
inline uint16_t waterTexels[tileSize * tileSize], woodTexels[tileSize * tileSize],
    glowTexels[glowSize * glowSize];
inline GrTexInfo skyInfo, waterInfo, woodInfo, glowInfo;
inline FxU32 skyAddress, waterAddress, woodAddress, glowAddress;

// The dusk sky from the zenith (row 0) down to the horizon, with streaks of cloud lit from below.
inline Rgb skyColor(int x, int y) {
    float f = static_cast<float>(y) / static_cast<float>(skyH - 1);
    const Rgb zenith = {16, 20, 72}, violet = {112, 58, 124}, ember = {232, 112, 88}, glow = {255, 176, 92};
    Rgb c = f < 0.55f   ? mix(zenith, violet, f / 0.55f)
            : f < 0.85f ? mix(violet, ember, (f - 0.55f) / 0.3f)
                        : mix(ember, glow, (f - 0.85f) / 0.15f);
    float fx = static_cast<float>(x);
    float band = std::exp(-std::pow((f - 0.58f) / 0.2f, 2.0f));
    float density = noise(fx / 32.0f, f * 5.0f, 8) * 0.6f + noise(fx / 12.0f, f * 11.0f, 21) * 0.4f;
    density = clamp01((density - 0.45f) * 2.5f) * band;
    Rgb cloud = mix({84, 44, 92}, {255, 132, 116}, clamp01((f - 0.35f) / 0.4f));
    return mix(c, cloud, density * 0.85f);
}

// Encodes the sky and returns how far, on average per channel, its texels decoded through the table lie
// from the picture.
inline float makeSky() {
    std::vector<Rgb> image(static_cast<size_t>(skyW * skyH));
    for (int y = 0; y < skyH; ++y)
        for (int x = 0; x < skyW; ++x)
            image[static_cast<size_t>(y * skyW + x)] = skyColor(x, y);
    kx::encodeYiq422(image, skyW, &skyTable, &skyTexels);
    float error = 0.0f;
    for (size_t k = 0; k < image.size(); ++k) {
        Rgb decoded = kx::decodeYiq422(skyTexels[k], skyTable);
        error += std::fabs(decoded.r - image[k].r) + std::fabs(decoded.g - image[k].g) +
                 std::fabs(decoded.b - image[k].b);
    }
    return error / static_cast<float>(3 * image.size());
}

inline void makeTiles() {
    for (int y = 0; y < tileSize; ++y)
        for (int x = 0; x < tileSize; ++x) {
            float u = static_cast<float>(x) / tileSize * 2.0f * pi,
                  v = static_cast<float>(y) / tileSize * 2.0f * pi;
            // Ripples: crossing swells with thin bright crests.
            float w = 0.5f + 0.25f * std::sin(2.0f * u + std::sin(v)) + 0.25f * std::sin(3.0f * v + u);
            float crest = std::pow(clamp01(w), 6.0f);
            waterTexels[y * tileSize + x] =
                rgb565({150 + 60 * w + 40 * crest, 165 + 60 * w + 30 * crest, 200 + 55 * w});
            // Planks along t, four across, with grain and dark gaps.
            bool gap = x % 16 == 0;
            float grain = noise(static_cast<float>(x) / 2.0f, static_cast<float>(y) / 14.0f, 32);
            float tone = 0.8f + 0.2f * static_cast<float>(hash(static_cast<uint32_t>(x / 16)) & 7) / 7.0f;
            Rgb wood = scale({168, 112, 70}, tone * (0.75f + 0.35f * grain));
            woodTexels[y * tileSize + x] = rgb565(gap ? Rgb{40, 26, 20} : wood);
        }
    // A round glow: a white core, its alpha falling off with the distance.
    for (int y = 0; y < glowSize; ++y)
        for (int x = 0; x < glowSize; ++x) {
            float dx = (static_cast<float>(x) - 15.5f) / 15.5f, dy = (static_cast<float>(y) - 15.5f) / 15.5f;
            float d = std::sqrt(dx * dx + dy * dy);
            float a = d >= 1.0f ? 0.0f : (1.0f - d) * (1.0f - d);
            int alpha = static_cast<int>(a * 15.0f + 0.5f);
            int white = static_cast<int>(clamp01(1.0f - d * 0.7f) * 15.0f);
            glowTexels[y * glowSize + x] = static_cast<uint16_t>(alpha << 12 | white << 8 | white << 4 | 15);
        }
}

inline GrTexInfo texInfo(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format, void *data) {
    GrTexInfo t;
    t.smallLodLog2 = lod;
    t.largeLodLog2 = lod;
    t.aspectRatioLog2 = aspect;
    t.format = format;
    t.data = data;
    return t;
}

// Lays the textures one after the other in TMU 0's memory, as the board reports their sizes.
inline void downloadTextures() {
    skyInfo = texInfo(GR_LOD_LOG2_256, GR_ASPECT_LOG2_4x1, GR_TEXFMT_YIQ_422, skyTexels.data());
    waterInfo = texInfo(GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, waterTexels);
    woodInfo = texInfo(GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, woodTexels);
    glowInfo = texInfo(GR_LOD_LOG2_32, GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_4444, glowTexels);
    GrTexInfo *infos[4] = {&skyInfo, &waterInfo, &woodInfo, &glowInfo};
    FxU32 *addresses[4] = {&skyAddress, &waterAddress, &woodAddress, &glowAddress};
    FxU32 next = grTexMinAddress(GR_TMU0);
    grTexDownloadTable(GR_TEXTABLE_NCC0, &skyTable);
    grTexNCCTable(GR_NCCTABLE_NCC0);
    for (int k = 0; k < 4; ++k) {
        *addresses[k] = next;
        grTexDownloadMipMap(GR_TMU0, next, GR_MIPMAPLEVELMASK_BOTH, infos[k]);
        next += grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, infos[k]);
    }
}

// A sky texel as the board decodes it through the table; x wraps, y is clamped to the texture.
inline Rgb skyTexel(int x, int y) {
    x = ((x % skyW) + skyW) % skyW;
    y = y < 0 ? 0 : y >= skyH ? skyH - 1 : y;
    return kx::decodeYiq422(skyTexels[static_cast<size_t>(y * skyW + x)], skyTable);
}

} // namespace harbour

#endif
