// Glide 3 features one screen region each, drawn through tessel3 and probed by the runner: a Gouraud
// triangle drawn after an overlay that saved and restored the state, chroma key, colour mask, a palette
// sent in two parts, and w-buffered triangles over a depth buffer cleared to the announced far value. The
// vertex layout never enables XY: positions are read at offset 0 as on the board. The program exits with its
// context open. Before drawing it opens every resolution grQueryResolutions lists.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide3x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

struct Vertex {
    float x, y, oow, r, g, b, s, t;
};

const FxI32 offsetW = offsetof(Vertex, oow);
const FxI32 offsetRgb = offsetof(Vertex, r);
const FxI32 offsetSt0 = offsetof(Vertex, s);

// Regions of 200 × 200 on a 640 × 480 screen, three a row.
const int regionSide = 200;
const int regionGap = 10;
const int tol = 24;
const FxU32 background = 0x00303030;
const int backgroundLevel = 0x30;

int regionX(int region) {
    return regionGap + (region % 3) * (regionSide + regionGap);
}

int regionY(int region) {
    return regionGap + (region / 3) * (regionSide + regionGap);
}

Vertex vertex(float x, float y, float oow, float r, float g, float b, float s, float t) {
    return Vertex{x, y, oow, r, g, b, s, t};
}

// A quad over part of a region, from (x0, y0) to (x1, y1) in region pixels; s and t span the texture.
void drawQuad(int region, int x0, int y0, int x1, int y1, float oow, float r, float g, float b) {
    const float ox = static_cast<float>(regionX(region)), oy = static_cast<float>(regionY(region));
    Vertex a = vertex(ox + x0, oy + y0, oow, r, g, b, 0.0f, 0.0f);
    Vertex c = vertex(ox + x1, oy + y0, oow, r, g, b, 256.0f, 0.0f);
    Vertex d = vertex(ox + x1, oy + y1, oow, r, g, b, 256.0f, 256.0f);
    Vertex e = vertex(ox + x0, oy + y1, oow, r, g, b, 0.0f, 256.0f);
    grDrawTriangle(&a, &c, &d);
    grDrawTriangle(&a, &d, &e);
}

kx::Expect at(int region, int x, int y, int r, int g, int b) {
    return {regionX(region) + x, regionY(region) + y, r, g, b, tol};
}

void useIteratedColour() {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

void useTextureColour() {
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
}

void download(FxU32 address, GrTextureFormat_t format, const void *texels) {
    GrTexInfo info = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, format, const_cast<void *>(texels)};
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
}

const int texSide = 8;
const FxU32 fontAddress = 0;
const FxU32 keyedAddress = 0x1000;
const FxU32 palettedAddress = 0x2000;

// Region 5: the overlay, with its own texture, combine, blend, culling that removes the scene's triangle
// and the lower-left origin; it draws a white block in its region.
void drawOverlay(std::vector<kx::Expect> &expect) {
    std::vector<FxU16> font(texSide * texSide, 0xFFFF);
    download(fontAddress, GR_TEXFMT_RGB_565, font.data());
    useTextureColour();
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    grCullMode(GR_CULL_POSITIVE);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    const int region = 5;
    // Measured from the bottom now: the block lands in region 5 all the same.
    const int fromBottom = 480 - regionY(region) - regionSide;
    const float ox = static_cast<float>(regionX(region)), oy = static_cast<float>(fromBottom);
    Vertex a = vertex(ox + 50, oy + 50, 1.0f, 0, 0, 0, 0, 0);
    Vertex b = vertex(ox + 150, oy + 50, 1.0f, 0, 0, 0, 256, 0);
    Vertex c = vertex(ox + 150, oy + 150, 1.0f, 0, 0, 0, 256, 256);
    Vertex d = vertex(ox + 50, oy + 150, 1.0f, 0, 0, 0, 0, 256);
    grDrawTriangle(&a, &c, &b);
    grDrawTriangle(&a, &d, &c);
    expect.push_back(at(region, 100, 100, 255, 255, 255));
}

// The colour Gouraud shading gives at (x, y) inside the triangle a, b, c.
kx::Expect shaded(const Vertex &a, const Vertex &b, const Vertex &c, float x, float y) {
    const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    const float wa = ((b.x - x) * (c.y - y) - (c.x - x) * (b.y - y)) / area;
    const float wb = ((c.x - x) * (a.y - y) - (a.x - x) * (c.y - y)) / area;
    const float wc = 1.0f - wa - wb;
    return {static_cast<int>(x),
            static_cast<int>(y),
            static_cast<int>(wa * a.r + wb * b.r + wc * c.r),
            static_cast<int>(wa * a.g + wb * b.g + wc * c.g),
            static_cast<int>(wa * a.b + wb * b.b + wc * c.b),
            tol};
}

// Region 0: a Gouraud triangle (red, green and blue corners) after the overlay, with the restored state.
void drawGouraud(std::vector<kx::Expect> &expect) {
    const float ox = static_cast<float>(regionX(0)), oy = static_cast<float>(regionY(0));
    Vertex a = vertex(ox + 10, oy + 10, 1.0f, 255, 0, 0, 0, 0);
    Vertex b = vertex(ox + 190, oy + 10, 1.0f, 0, 255, 0, 0, 0);
    Vertex c = vertex(ox + 100, oy + 190, 1.0f, 0, 0, 255, 0, 0);
    grDrawTriangle(&a, &b, &c);
    expect.push_back(shaded(a, b, c, ox + 30, oy + 18));
    expect.push_back(shaded(a, b, c, ox + 170, oy + 18));
    expect.push_back(shaded(a, b, c, ox + 100, oy + 170));
    expect.push_back(shaded(a, b, c, ox + 100, oy + 70));
    expect.push_back(at(0, 100, 195, backgroundLevel, backgroundLevel, backgroundLevel));
}

// Region 1: a blue quad under a texture whose left half is the key colour: blue shows through there.
void drawChromakey(std::vector<kx::Expect> &expect) {
    useIteratedColour();
    drawQuad(1, 20, 20, 180, 180, 1.0f, 0, 0, 255);
    const FxU16 magenta = 0xF81F, green = 0x07E0;
    std::vector<FxU16> texels(texSide * texSide);
    for (int y = 0; y < texSide; ++y)
        for (int x = 0; x < texSide; ++x)
            texels[y * texSide + x] = x < texSide / 2 ? magenta : green;
    download(keyedAddress, GR_TEXFMT_RGB_565, texels.data());
    useTextureColour();
    grChromakeyValue(0x00FF00FF);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    drawQuad(1, 20, 20, 180, 180, 1.0f, 0, 0, 0);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    expect.push_back(at(1, 50, 100, 0, 0, 255));
    expect.push_back(at(1, 150, 100, 0, 255, 0));
}

// Region 2: red, then green with colour writes off (red stays), then a blue strip with them on again.
void drawColorMask(std::vector<kx::Expect> &expect) {
    useIteratedColour();
    drawQuad(2, 20, 20, 180, 180, 1.0f, 255, 0, 0);
    grColorMask(FXFALSE, FXFALSE);
    drawQuad(2, 20, 20, 180, 180, 1.0f, 0, 255, 0);
    grColorMask(FXTRUE, FXFALSE);
    drawQuad(2, 20, 140, 180, 180, 1.0f, 0, 0, 255);
    expect.push_back(at(2, 100, 80, 255, 0, 0));
    expect.push_back(at(2, 100, 160, 0, 0, 255));
}

// Region 3: a P8 texture of index 3 on the left and 200 on the right, the palette sent in two halves.
void drawPalette(std::vector<kx::Expect> &expect) {
    const FxU8 low = 3, high = 200;
    std::vector<FxU8> texels(texSide * texSide);
    for (int y = 0; y < texSide; ++y)
        for (int x = 0; x < texSide; ++x)
            texels[y * texSide + x] = x < texSide / 2 ? low : high;
    download(palettedAddress, GR_TEXFMT_P_8, texels.data());
    GuTexPalette palette;
    std::memset(&palette, 0, sizeof(palette));
    palette.data[low] = 0x00FFFF00;
    grTexDownloadTablePartial(GR_TEXTABLE_PALETTE, &palette, 0, 127);
    palette.data[low] = 0;
    palette.data[high] = 0x0000FFFF;
    grTexDownloadTablePartial(GR_TEXTABLE_PALETTE, &palette, 128, 255);
    useTextureColour();
    drawQuad(3, 20, 20, 180, 180, 1.0f, 0, 0, 0);
    expect.push_back(at(3, 50, 100, 255, 255, 0));
    expect.push_back(at(3, 150, 100, 0, 255, 255));
}

// Region 4: w-buffered, nearer wins: a far red quad, a near green one over its middle, then a far blue quad
// over everything, which fails the depth test where anything was drawn.
void drawWBuffered(std::vector<kx::Expect> &expect) {
    useIteratedColour();
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    const float farOow = 1.0f / 200.0f, nearOow = 1.0f / 2.0f;
    drawQuad(4, 20, 20, 180, 180, farOow, 255, 0, 0);
    drawQuad(4, 60, 60, 140, 140, nearOow, 0, 255, 0);
    drawQuad(4, 10, 10, 190, 190, farOow / 2, 0, 0, 255);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    expect.push_back(at(4, 100, 100, 0, 255, 0));
    expect.push_back(at(4, 40, 40, 255, 0, 0));
    expect.push_back(at(4, 15, 15, 0, 0, 255));
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 features test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    // Every resolution listed opens on this display (once each: the buffer choices open alike).
    const FxI32 listBytes = grQueryResolutions(nullptr, nullptr);
    std::vector<GrResolution> listed(static_cast<size_t>(listBytes) / sizeof(GrResolution));
    grQueryResolutions(nullptr, listed.data());
    std::printf("%d resolution and buffer choices listed\n", static_cast<int>(listed.size()));
    bool allOpen = !listed.empty();
    for (size_t i = 0; i < listed.size(); ++i) {
        if (i > 0 && listed[i].resolution == listed[i - 1].resolution) continue;
        GrContext_t trial = grSstWinOpen(
            static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), listed[i].resolution, listed[i].refresh,
            GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, listed[i].numColorBuffers, listed[i].numAuxBuffers);
        std::printf("resolution %d: %s\n", static_cast<int>(listed[i].resolution),
                    trial != 0 ? "opens" : "FAILS");
        allOpen = allOpen && trial != 0;
        grSstWinClose(trial);
    }
    check(allOpen, "every listed resolution opens");
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == 1, "grSstWinOpen 640x480 returns context 1");
    if (opened == 0) {
        grGlideShutdown();
        return kx::finish(1);
    }

    FxI32 wRange[2] = {-1, -1};
    check(grGet(GR_WDEPTH_MIN_MAX, sizeof(wRange), wRange) == sizeof(wRange), "grGet(GR_WDEPTH_MIN_MAX)");
    std::printf("w range %d to %d\n", static_cast<int>(wRange[0]), static_cast<int>(wRange[1]));
    FxI32 stateSize = 0;
    check(grGet(GR_GLIDE_STATE_SIZE, sizeof(stateSize), &stateSize) == sizeof(stateSize),
          "grGet(GR_GLIDE_STATE_SIZE)");

    grVertexLayout(GR_PARAM_W, offsetW, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, offsetRgb, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetSt0, GR_PARAM_ENABLE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    grDepthMask(FXTRUE);
    // Programs clear the w-buffer to the far value grGet announced.
    grBufferClear(background, 0, static_cast<FxU32>(wRange[1]));

    std::vector<kx::Expect> expect;
    // The scene's state: iterated colour, no blending, no culling, upper-left origin.
    useIteratedColour();
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grCullMode(GR_CULL_DISABLE);
    std::vector<FxU8> saved(static_cast<size_t>(stateSize > 0 ? stateSize : 0));
    grGlideGetState(saved.data());
    drawOverlay(expect);
    grGlideSetState(saved.data());
    drawGouraud(expect);
    drawChromakey(expect);
    drawColorMask(expect);
    drawPalette(expect);
    drawWBuffered(expect);

    grBufferSwap(1);
    kx::pump(300);
    check(kx::request_capture("glide3_features", expect, 60000), "every feature's region on screen");

    // Like many games, it ends with its context open and without grGlideShutdown: the process must still end,
    // and the log be written out.
    kx::expect_log({"~ Kestrix 3.0"});
    return kx::finish(failures ? 1 : 0);
}
