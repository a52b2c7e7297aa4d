// Mipmaps through Glide 3: chains whose levels have different colours, drawn as quads of sizes that pick
// each level, with the mipmap modes, the LOD bias and a chain sent level by level, and a floor receding into
// the distance; the runner probes which level's colour each part shows.
#include "wine_harness.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "glide3x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

struct Vertex {
    float x, y, oow, sow, tow;
};

struct Color {
    int r, g, b;
};

const int levelCount = 7; // 64 texels a side down to 1
const int largestSide = 64;
const float fullTexture = 256.0f; // Glide's s and t across the whole texture
const int tolerance = 12;

// Level colours of the two chains, largest first, as 565 and 1555 texels and as seen on screen.
const FxU16 chainA565[levelCount] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0xFFE0, 0x07FF, 0xF81F};
const Color chainAColors[levelCount] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},  {255, 255, 255},
                                        {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
const FxU16 chainB1555[levelCount] = {0xFFE0, 0x83FF, 0xFC1F, 0xFFFF, 0xFC00, 0x83E0, 0x801F};
const Color chainBColors[levelCount] = {{255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 255},
                                        {255, 0, 0},   {0, 255, 0},   {0, 0, 255}};

std::vector<FxU16> levelTexels(int level, FxU16 texel) {
    const int side = largestSide >> level;
    return std::vector<FxU16>(static_cast<size_t>(side * side), texel);
}

// A screen-aligned square of `size` pixels showing the whole texture once.
void drawSquare(float x, float y, float size) {
    Vertex a = {x, y, 1.0f, 0.0f, 0.0f};
    Vertex b = {x + size, y, 1.0f, fullTexture, 0.0f};
    Vertex c = {x + size, y + size, 1.0f, fullTexture, fullTexture};
    Vertex d = {x, y + size, 1.0f, 0.0f, fullTexture};
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

kx::Expect centreOf(int x, int y, int size, const Color &color, int tol = tolerance) {
    return {x + size / 2, y + size / 2, color.r, color.g, color.b, tol};
}

// The floor: a plane seen from above, y = horizon + eyeHeight / w, its near edge at w = 1 filling the
// screen's width, its far edge at w = farW; the texture repeats across and along it.
const float horizon = 230.0f;
const float eyeHeight = 240.0f;
const float farW = 8.0f;
const float repeatsAcross = 5.0f;
const float repeatsAlong = 7.0f;

float floorY(float w) {
    return horizon + eyeHeight / w;
}

void drawFloor() {
    const float nearHalf = 320.0f, farHalf = 320.0f / farW;
    const float sAcross = repeatsAcross * fullTexture, tAlong = repeatsAlong * fullTexture;
    Vertex nearLeft = {320.0f - nearHalf, floorY(1.0f), 1.0f, 0.0f, 0.0f};
    Vertex nearRight = {320.0f + nearHalf, floorY(1.0f), 1.0f, sAcross, 0.0f};
    Vertex farRight = {320.0f + farHalf, floorY(farW), 1.0f / farW, sAcross / farW, tAlong / farW};
    Vertex farLeft = {320.0f - farHalf, floorY(farW), 1.0f / farW, 0.0f, tAlong / farW};
    grDrawTriangle(&nearLeft, &nearRight, &farRight);
    grDrawTriangle(&nearLeft, &farRight, &farLeft);
}

// Along the floor's centre line t changes only with y and s only with x, so each axis's level of detail
// is plain: the w at which t takes 2^level level-0 texels a pixel.
float floorWForLevel(int level) {
    const float texelsAlong = repeatsAlong * largestSide;
    // texels a pixel along y = texelsAlong / (farW - 1) * w^2 / eyeHeight
    return std::sqrt(std::ldexp(1.0f, level) * eyeHeight * (farW - 1.0f) / texelsAlong);
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 mipmap test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == 1, "grSstWinOpen 640x480 returns context 1");
    if (opened == 0) {
        grGlideShutdown();
        return kx::finish(1);
    }

    // Chain A in one download, smallLod below largeLod.
    std::vector<FxU16> chainA;
    for (int level = 0; level < levelCount; ++level) {
        std::vector<FxU16> texels = levelTexels(level, chainA565[level]);
        chainA.insert(chainA.end(), texels.begin(), texels.end());
    }
    GrTexInfo infoA = {GR_LOD_LOG2_1, GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, chainA.data()};
    const FxU32 addressA = grTexMinAddress(GR_TMU0);
    grTexDownloadMipMap(GR_TMU0, addressA, GR_MIPMAPLEVELMASK_BOTH, &infoA);

    // Chain B level by level, the smallest first.
    GrTexInfo infoB = {GR_LOD_LOG2_1, GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_1555, nullptr};
    const FxU32 addressB = addressA + grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &infoA);
    for (int level = levelCount - 1; level >= 0; --level) {
        std::vector<FxU16> texels = levelTexels(level, chainB1555[level]);
        grTexDownloadMipMapLevel(GR_TMU0, addressB, GR_LOD_LOG2_64 - level, GR_LOD_LOG2_64,
                                 GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_1555, GR_MIPMAPLEVELMASK_BOTH,
                                 texels.data());
    }

    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, 12, GR_PARAM_ENABLE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    grBufferClear(0x00303030, 0, 0xFFFF);

    std::vector<kx::Expect> expect;
    // Squares of 64, 32, 16 and 8 pixels take one level each.
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
    grTexSource(GR_TMU0, addressA, GR_MIPMAPLEVELMASK_BOTH, &infoA);
    const int row = 20;
    int x = 20;
    for (int level = 0; level < 4; ++level) {
        const int size = largestSide >> level;
        drawSquare(static_cast<float>(x), static_cast<float>(row), static_cast<float>(size));
        expect.push_back(centreOf(x, row, size, chainAColors[level]));
        x += size + 20;
    }
    grTexSource(GR_TMU0, addressB, GR_MIPMAPLEVELMASK_BOTH, &infoB);
    x = 260;
    for (int level = 0; level < 3; ++level) {
        const int size = largestSide >> level;
        drawSquare(static_cast<float>(x), static_cast<float>(row), static_cast<float>(size));
        expect.push_back(centreOf(x, row, size, chainBColors[level]));
        x += size + 20;
    }

    // The largest level only, whatever the size.
    grTexSource(GR_TMU0, addressA, GR_MIPMAPLEVELMASK_BOTH, &infoA);
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);
    drawSquare(470.0f, static_cast<float>(row), 16.0f);
    expect.push_back(centreOf(470, row, 16, chainAColors[0]));

    // A bias of one level takes a 64-pixel square to the second level.
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
    grTexLodBiasValue(GR_TMU0, 1.0f);
    drawSquare(510.0f, static_cast<float>(row), 64.0f);
    expect.push_back(centreOf(510, row, 64, chainAColors[1]));
    grTexLodBiasValue(GR_TMU0, 0.0f);

    // 64 texels on 48 pixels: level of detail log2(4/3), about 0.415. The nearest level is the largest; with
    // lodBlend, 41.5 % of the second level is mixed in.
    const int row2 = 120, blendSize = 48;
    drawSquare(20.0f, static_cast<float>(row2), static_cast<float>(blendSize));
    expect.push_back(centreOf(20, row2, blendSize, chainAColors[0]));
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXTRUE);
    drawSquare(90.0f, static_cast<float>(row2), static_cast<float>(blendSize));
    const float fraction = std::log2(4.0f / 3.0f);
    const Color blended = {static_cast<int>(255 * (1.0f - fraction) + 0.5f),
                           static_cast<int>(255 * fraction + 0.5f), 0};
    expect.push_back(centreOf(90, row2, blendSize, blended, 20));

    // The floor, nearest levels: the near part shows the largest level, farther parts the smaller ones.
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
    drawFloor();
    expect.push_back({320, 465, chainAColors[0].r, chainAColors[0].g, chainAColors[0].b, tolerance});
    for (int level = 1; level <= 3; ++level) {
        const int y = static_cast<int>(floorY(floorWForLevel(level)) + 0.5f);
        std::printf("floor level %d expected at y %d\n", level, y);
        expect.push_back(
            {320, y, chainAColors[level].r, chainAColors[level].g, chainAColors[level].b, tolerance});
    }

    grBufferSwap(1);
    kx::pump(300);
    check(kx::request_capture("mipmap", expect, 60000), "each part shows the level its size picks");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose");
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
