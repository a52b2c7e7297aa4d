// "Night run": a Glide 2.x demo in the manner of the late 1990s, drawn through tessel2 alone. The camera
// glides down a stone causeway between brick pillars under a starry sky; the far end fades into fog, the
// pillars are depth-tested against the floor, and glowing orbs float past with alpha blending. Three
// frames are captured as glide2_demo_1.png to glide2_demo_3.png. With KESTRIX_DEMO_SCALE set to
// "stretched" or "2x" the demo plays in a window twice its size, stretched from 640x480 or drawn at 2x
// (RenderScale 2), and captures one frame as glide2_demo_stretched.png or glide2_demo_2x.png.
#include "wine_harness.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "glide2x.h"

namespace {

const float focal = 420.0f;
const float nearZ = 1.0f;
const FxU32 stoneAddress = 0, brickAddress = 0x10000, orbAddress = 0x20000;

uint16_t stone[64 * 64], brick[64 * 64], orb[32 * 32];
GrTexInfo stoneInfo, brickInfo, orbInfo;

// A small repeatable noise, so the textures and the stars are the same on every run.
uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    return x ^ (x >> 16);
}

uint16_t rgb565(int r, int g, int b) {
    r = r < 0 ? 0 : r > 255 ? 255 : r;
    g = g < 0 ? 0 : g > 255 ? 255 : g;
    b = b < 0 ? 0 : b > 255 ? 255 : b;
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

void makeTextures() {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            // Stone flags: four slabs with dark grout and speckle.
            int n = static_cast<int>(hash(static_cast<uint32_t>(y * 64 + x)) & 31);
            bool grout = (x % 32) < 2 || (y % 32) < 2;
            int base = grout ? 40 : 120 + n + ((x / 32 + y / 32) & 1) * 18;
            stone[y * 64 + x] = rgb565(base, base - 6, base - 14);
            // Bricks: staggered courses of 16 x 8 with mortar.
            int row = y / 8, shift = (row & 1) * 8;
            bool mortar = (y % 8) == 0 || ((x + shift) % 16) == 0;
            int tint = static_cast<int>(hash(static_cast<uint32_t>(row * 7 + (x + shift) / 16)) & 31);
            brick[y * 64 + x] = mortar ? rgb565(150, 145, 135) : rgb565(150 + tint + n / 2, 60 + n / 2, 40);
        }
    // A soft round glow, white in the middle, its alpha falling off with the distance.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float dx = (static_cast<float>(x) - 15.5f) / 15.5f, dy = (static_cast<float>(y) - 15.5f) / 15.5f;
            float d = std::sqrt(dx * dx + dy * dy);
            float a = d >= 1.0f ? 0.0f : (1.0f - d) * (1.0f - d);
            int alpha = static_cast<int>(a * 15.0f + 0.5f);
            int white = static_cast<int>((1.0f - d * 0.7f) * 15.0f);
            white = white < 0 ? 0 : white;
            orb[y * 32 + x] = static_cast<uint16_t>(alpha << 12 | white << 8 | white << 4 | 15);
        }
}

GrTexInfo info(GrLOD_t lod, GrTextureFormat_t format, void *data) {
    GrTexInfo t;
    t.smallLod = lod;
    t.largeLod = lod;
    t.aspectRatio = GR_ASPECT_1x1;
    t.format = format;
    t.data = data;
    return t;
}

void downloadTextures() {
    stoneInfo = info(GR_LOD_64, GR_TEXFMT_RGB_565, stone);
    brickInfo = info(GR_LOD_64, GR_TEXFMT_RGB_565, brick);
    orbInfo = info(GR_LOD_32, GR_TEXFMT_ARGB_4444, orb);
    grTexDownloadMipMap(GR_TMU0, stoneAddress, GR_MIPMAPLEVELMASK_BOTH, &stoneInfo);
    grTexDownloadMipMap(GR_TMU0, brickAddress, GR_MIPMAPLEVELMASK_BOTH, &brickInfo);
    grTexDownloadMipMap(GR_TMU0, orbAddress, GR_MIPMAPLEVELMASK_BOTH, &orbInfo);
}

struct Point3 {
    float x, y, z; // camera space: x right, y up, z into the screen
};

// Projects a camera-space point into a snapped screen vertex with perspective 1/w.
GrVertex project(Point3 p, float s, float t, float shade, float alpha = 255.0f) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    float oow = 1.0f / p.z;
    v.x = 320.0f + focal * p.x * oow + 786432.0f;
    v.y = 240.0f - focal * p.y * oow + 786432.0f;
    v.oow = oow;
    v.r = v.g = v.b = shade;
    v.a = alpha;
    v.tmuvtx[0].sow = s * oow;
    v.tmuvtx[0].tow = t * oow;
    return v;
}

// A textured quad of four camera-space corners, dropped when it reaches behind the near plane; tNear is
// the t of the last two corners, less than 256 when the quad has been cut short at the near plane.
void texturedQuad(const Point3 c[4], float shade, float tNear = 256.0f) {
    for (int i = 0; i < 4; ++i)
        if (c[i].z < nearZ) return;
    GrVertex v[4] = {project(c[0], 0, 0, shade), project(c[1], 256, 0, shade),
                     project(c[2], 256, tNear, shade), project(c[3], 0, tNear, shade)};
    grDrawPolygonVertexList(4, v);
}

void textureTimesVertex() {
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
}

void vertexColorOnly() {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

GrVertex screenVertex(float x, float y, int r, int g, int b) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    v.r = static_cast<float>(r);
    v.g = static_cast<float>(g);
    v.b = static_cast<float>(b);
    v.a = 255.0f;
    v.oow = 1.0f;
    return v;
}

void drawSky(float time) {
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grFogMode(GR_FOG_DISABLE);
    vertexColorOnly();
    // Night blue overhead down to the violet haze of the horizon, where the fog takes over.
    GrVertex sky[4] = {screenVertex(0, 0, 4, 6, 24), screenVertex(640, 0, 4, 6, 24),
                       screenVertex(640, 240, 44, 30, 60), screenVertex(0, 240, 44, 30, 60)};
    grDrawPolygonVertexList(4, sky);
    // The dark plain beyond the causeway, fading from the haze into the night.
    GrVertex plain[4] = {screenVertex(0, 240, 44, 30, 60), screenVertex(640, 240, 44, 30, 60),
                         screenVertex(640, 480, 6, 4, 10), screenVertex(0, 480, 6, 4, 10)};
    grDrawPolygonVertexList(4, plain);
    for (uint32_t i = 0; i < 160; ++i) {
        float x = static_cast<float>(hash(i * 2 + 1) % 640);
        float y = static_cast<float>(hash(i * 2 + 2) % 200);
        int twinkle = 150 + static_cast<int>(100.0f * std::sin(time * 3.0f + static_cast<float>(i)));
        GrVertex star = screenVertex(x, y, twinkle, twinkle, twinkle + 20 > 255 ? 255 : twinkle + 20);
        grDrawPoint(&star);
    }
}

void drawWorld(float time) {
    float travelled = time * 9.0f;
    float sway = std::sin(time * 0.7f) * 1.5f;
    const float eye = 2.2f;

    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grFogColorValue(0x002C1E3C); // a deep violet
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    textureTimesVertex();

    // The causeway: 4 x 4 slabs from just ahead of the camera to the fog.
    grTexSource(GR_TMU0, stoneAddress, GR_MIPMAPLEVELMASK_BOTH, &stoneInfo);
    float offset = std::fmod(travelled, 4.0f);
    for (int row = 0; row < 40; ++row) {
        float z0 = static_cast<float>(row) * 4.0f - offset, z1 = z0 + 4.0f;
        if (z1 <= nearZ) continue;
        // The slab under the camera is cut at the near plane, its texture with it.
        float tNear = 256.0f;
        if (z0 < nearZ) {
            tNear = 256.0f * (z1 - nearZ) / 4.0f;
            z0 = nearZ;
        }
        for (int col = -3; col < 3; ++col) {
            float x0 = static_cast<float>(col) * 4.0f - sway, x1 = x0 + 4.0f;
            Point3 c[4] = {{x0, -eye, z1}, {x1, -eye, z1}, {x1, -eye, z0}, {x0, -eye, z0}};
            texturedQuad(c, 220.0f, tNear);
        }
    }

    // Brick pillars on both sides, every 12 units; the side facing the road is lit, the front is darker.
    grTexSource(GR_TMU0, brickAddress, GR_MIPMAPLEVELMASK_BOTH, &brickInfo);
    float pillarOffset = std::fmod(travelled, 12.0f);
    for (int i = 0; i < 14; ++i) {
        float z = static_cast<float>(i) * 12.0f + 6.0f - pillarOffset;
        for (int side = -1; side <= 1; side += 2) {
            float inner = static_cast<float>(side) * 9.0f - sway,
                  outer = inner + static_cast<float>(side) * 2.0f;
            float top = 7.0f - eye + std::sin(static_cast<float>(i) * 1.7f) * 1.5f;
            Point3 front[4] = {{inner, top, z}, {outer, top, z}, {outer, -eye, z}, {inner, -eye, z}};
            Point3 face[4] = {
                {inner, top, z + 2.0f}, {inner, top, z}, {inner, -eye, z}, {inner, -eye, z + 2.0f}};
            texturedQuad(front, 150.0f);
            texturedQuad(face, 240.0f);
        }
    }

    // Glowing orbs drifting over the road, blended over everything drawn so far; they test depth but
    // do not write it, so they never cut holes in each other.
    grTexSource(GR_TMU0, orbAddress, GR_MIPMAPLEVELMASK_BOTH, &orbInfo);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthMask(FXFALSE);
    for (int i = 0; i < 9; ++i) {
        float z = std::fmod(static_cast<float>(i) * 7.0f - travelled * 0.6f + 200.0f, 63.0f) + 3.0f;
        float x = std::sin(time * 0.9f + static_cast<float>(i) * 2.1f) * 5.0f - sway;
        float y = 0.8f + std::sin(time * 1.7f + static_cast<float>(i)) * 0.8f;
        float r = 1.3f;
        Point3 c[4] = {{x - r, y + r, z}, {x + r, y + r, z}, {x + r, y - r, z}, {x - r, y - r, z}};
        for (int k = 0; k < 4; ++k)
            if (c[k].z < nearZ) c[k].z = nearZ;
        GrVertex v[4];
        const float st[4][2] = {{0, 0}, {256, 0}, {256, 256}, {0, 256}};
        for (int k = 0; k < 4; ++k) {
            v[k] = project(c[k], st[k][0], st[k][1], 255.0f, 230.0f);
            // A warm or a cold glow, alternately.
            v[k].b = (i & 1) ? 120.0f : 255.0f;
            v[k].g = (i & 1) ? 200.0f : 180.0f;
        }
        grDrawPolygonVertexList(4, v);
    }
    grDepthMask(FXTRUE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
}

const char *const storeKey = settings_store::productKeyPath;
const char *const scaleValues[] = {"Windowed", "WindowScale", "RenderScale"};
const int scaleCaptureFrame = 150;

// Null removes them: the Wine prefix is shared by every test of the build.
void storeScaleValues(const DWORD *values) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < 3; ++i) {
        if (values != nullptr)
            RegSetValueExA(key, scaleValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE *>(&values[i]),
                           sizeof(values[i]));
        else
            RegDeleteValueA(key, scaleValues[i]);
    }
    RegCloseKey(key);
}

// The capture name of the scaled run, or null for the three frames at the game's size.
const char *scaleCapture() {
    const char *scale = std::getenv("KESTRIX_DEMO_SCALE");
    if (scale == nullptr) return nullptr;
    const bool drawn2x = std::strcmp(scale, "2x") == 0;
    const DWORD values[3] = {1, drawn2x ? 1u : 2u, drawn2x ? 2u : 0u};
    storeScaleValues(values);
    return drawn2x ? "glide2_demo_2x" : "glide2_demo_stretched";
}

} // namespace

int main() {
    const char *scaled = scaleCapture();
    HWND hwnd = kx::create_window("Kestrix Glide 2 demo");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    if (!grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                      GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1)) {
        std::printf("grSstWinOpen failed\n");
        grGlideShutdown();
        return kx::finish(1);
    }
    makeTextures();
    downloadTextures();
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grCullMode(GR_CULL_DISABLE);

    // A fixed step per frame, so the captured frames show the same moments on every run.
    const int frames = 240;
    const int captureAt[3] = {70, 150, 235};
    int captured = 0;
    bool ok = true;
    // The frames before the first capture are timed: printed, never judged.
    const int timedFrames = captureAt[0];
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int frame = 0; frame <= frames; ++frame) {
        if (frame == timedFrames) {
            QueryPerformanceCounter(&end);
            std::printf("%s: %.2f ms per frame over %d frames\n", scaled ? scaled : "glide2_demo",
                        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart) / timedFrames,
                        timedFrames);
        }
        float time = static_cast<float>(frame) / 60.0f;
        grBufferClear(0x00000000, 0, 0xFFFF);
        drawSky(time);
        drawWorld(time);
        grBufferSwap(1);
        kx::pump(frame % 10 == 0 ? 10 : 0);
        if (scaled != nullptr && frame == scaleCaptureFrame) {
            kx::pump(200);
            ok = kx::request_capture(scaled, {}, 60000) && ok;
        }
        if (scaled == nullptr && captured < 3 && frame == captureAt[captured]) {
            char name[32];
            std::snprintf(name, sizeof name, "glide2_demo_%d", captured + 1);
            kx::pump(200);
            ok = kx::request_capture(name, {}, 60000) && ok;
            ++captured;
        }
    }
    FxU32 processed = 0, drawn = 0;
    grTriStats(&processed, &drawn);
    std::printf("%lu triangles drawn\n", static_cast<unsigned long>(drawn));

    grSstWinClose();
    grGlideShutdown();
    if (scaled != nullptr) storeScaleValues(nullptr);
    return kx::finish(ok && drawn > 0 ? 0 : 1);
}
