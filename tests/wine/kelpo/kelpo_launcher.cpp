// Runs one Kelpo example (KELPO_EXAMPLE) on its Glide 3 renderer over tessel3 for a fixed number of frames,
// captures the frames the plan names when the frame hook in the renderer holds them, then checks that the
// example ended by itself with success, that the display mode came back, and prints the frame rate.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "wine_harness.h"

#define KELPO_TEXT(name) #name
#define KELPO_NAME(name) KELPO_TEXT(name)

namespace {

struct Capture {
    unsigned frame;
    const char *name;
    std::vector<kx::Expect> pixels;
};

struct Plan {
    const char *example;
    unsigned frames; // the hook closes the window after this one
    std::vector<Capture> captures;
    std::vector<std::string> log;
};

const char *const settingsKey = settings_store::productKeyPath;
const unsigned kelpoWidth = 640, kelpoHeight = 480, kelpoBits = 16;

const std::vector<std::string> banner = {"= ---------------------------------------",
                                         "=               Kestrix 3.0              "};
// The combine modes Kelpo sets: iterated colour for untextured triangles, texture times iterated colour
// (and alpha) for textured ones. The library logs each mode it meets once.
const std::string untexturedColor = "= grColorCombine(1, 0, 0, 2);";
const std::string texturedColor = "= grColorCombine(3, 1, 0, 1);";
const std::string texturedAlpha = "= grAlphaCombine(3, 1, 0, 1);";

struct Rgb {
    int r, g, b;
};

kx::Expect at(int x, int y, Rgb colour, int tolerance) {
    return {x, y, colour.r, colour.g, colour.b, tolerance};
}

const Rgb black = {0, 0, 0}, white = {255, 255, 255}, yellow = {255, 255, 0};
const int exact = 8;     // a flat colour on the 16-bit display
const int gouraud = 16;  // an interpolated colour, rounded to 16 bits
const int textured = 40; // a bilinear sample of a texture, at the texture's mid tone
// Mid tones of the example's textures: the cube's bricks and the apricot's skin.
const Rgb brick = {115, 85, 50}, apricot = {222, 178, 60};
// One white texel painted into the bricks, seen magnified about 1.5 times with bilinear filtering.
const Rgb paintedTexel = {148, 146, 140};

// rotating_triangle: corners (-1,-1) red, (1,-1) green, (1,1) blue at z = 0, turned about y by 0.01 radian a
// frame, 3 units ahead of a 60 degree (vertical) camera. Probes at screen-space weights of the corners
// expect the perspective-correct mix.
const double triangleDistance = 3, triangleTurnPerFrame = 0.01, fieldOfViewTangent = 0.57735026918962573;

struct Corner {
    double x, y, w;
};

Corner project(double x, double y, double z) {
    const double aspect = static_cast<double>(kelpoWidth) / kelpoHeight;
    return {kelpoWidth / 2.0 * (1 + x / (z * fieldOfViewTangent * aspect)),
            kelpoHeight / 2.0 * (1 - y / (z * fieldOfViewTangent)), z};
}

std::vector<kx::Expect> triangle_probes(unsigned frame) {
    const double turn = triangleTurnPerFrame * frame;
    const double model[3][2] = {{-1, -1}, {1, -1}, {1, 1}};
    Corner corner[3];
    for (int i = 0; i < 3; ++i)
        corner[i] = project(model[i][0] * std::cos(turn), model[i][1],
                            triangleDistance + model[i][0] * std::sin(turn));
    const double nearCorner = 0.9, farCorners = 0.05, centroid = 1.0 / 3;
    const double weights[4][3] = {{nearCorner, farCorners, farCorners},
                                  {farCorners, nearCorner, farCorners},
                                  {farCorners, farCorners, nearCorner},
                                  {centroid, centroid, centroid}};
    std::vector<kx::Expect> probes;
    for (const auto &weight : weights) {
        double x = 0, y = 0, perspective[3], total = 0;
        for (int i = 0; i < 3; ++i) {
            x += weight[i] * corner[i].x;
            y += weight[i] * corner[i].y;
            perspective[i] = weight[i] / corner[i].w;
            total += perspective[i];
        }
        const auto channel = [&](int i) {
            return static_cast<int>(std::lround(255 * perspective[i] / total));
        };
        probes.push_back(
            at(static_cast<int>(x), static_cast<int>(y), {channel(0), channel(1), channel(2)}, gouraud));
    }
    // Left of the left edge, and right of the right one.
    const int margin = 6;
    probes.push_back(
        at(static_cast<int>(corner[0].x) - margin, static_cast<int>(corner[0].y) - margin, black, exact));
    probes.push_back(at(static_cast<int>(corner[1].x) + margin,
                        static_cast<int>((corner[1].y + corner[2].y) / 2), black, exact));
    return probes;
}

// Text from Kelpo's font, 18 x 32 pixels a character at scale 1: the strokes in the text's colour, and the
// font's transparent texels rejected by the alpha test (greater than 127), showing what lies behind.
const std::vector<kx::Expect> cubeProbes = {
    at(320, 240, brick, textured), // the cube's centre, on a face whichever way the cube turned
    at(600, 240, black, exact),    // beyond the cube's reach
    at(175, 358, yellow, exact),   // the left stroke of the 'M' of "Mouse rotates" (scale 1.3, at 168,338)
    at(183, 358, yellow, exact),   // the 'M''s second stroke
};

// The painted arc after 30 frames: texels at 0 to 116 degrees of a 50-texel circle about texel (62,62) of
// the 128 x 128 bricks. The face shows texel (u,v) near (242.5 + 1.657u - 0.158v, 330.1 - 0.069u - 1.619v),
// fitted to the 30 dots within a pixel.
const std::vector<kx::Expect> paintingProbes = {
    at(419, 222, paintedTexel, textured / 2), // the first texel, (112,62) at 0 degrees
    at(370, 154, paintedTexel, textured / 2), // (87,105) at 60 degrees
    at(298, 152, paintedTexel, textured / 2), // (44,108) at 112 degrees
    at(253, 229, brick, textured),            // (12,62) at 180 degrees: not painted yet
    at(301, 297, brick, textured),            // (37,19) at 240 degrees: not painted yet
    at(335, 225, brick, textured),            // the circle's centre
    at(600, 240, black, exact),
};

// The apricot at frame 20: its skin inside the silhouette, the clear colour outside.
const std::vector<kx::Expect> modelProbes = {
    at(318, 240, apricot, textured), at(226, 240, apricot, textured), at(410, 240, apricot, textured),
    at(318, 150, apricot, textured), at(318, 355, apricot, textured), at(208, 240, black, exact),
    at(428, 240, black, exact),      at(318, 100, black, exact),      at(318, 374, black, exact),
};

// "Press 1-5 to set renderer" (white, at 25,120) runs over the cube at frame 20; the 'o' of "to" is in the
// character cell at 223,120.
const std::vector<kx::Expect> textProbes = {
    at(227, 139, white, exact),    // the 'o''s left stroke
    at(232, 139, brick, textured), // the 'o''s hollow: the cube shows through
    at(267, 139, white, exact),    // the 's' of "set"
    at(300, 139, white, exact),    // the 't' of "set"
    at(320, 250, brick, textured), // the cube's face
    at(600, 400, black, exact),
};

const std::vector<Plan> plans = {
    {"rotating_triangle",
     40,
     {{1, "kelpo_triangle", triangle_probes(1)}, {40, "kelpo_triangle_turned", triangle_probes(40)}},
     {banner[0], banner[1], untexturedColor}},
    {"mouse_rotating_cube",
     10,
     {{10, "kelpo_cube", cubeProbes}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"texture_painting",
     30,
     {{30, "kelpo_painting", paintingProbes}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"high_polycount_model",
     20,
     {{20, "kelpo_model", modelProbes}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"renderer_switching",
     20,
     {{20, "kelpo_text", textProbes}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
};

const DWORD captureTimeoutMs = 60000;
const DWORD pollMs = 20;
const DWORD runTimeoutMs = 180000;

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

DEVMODEA display_mode() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

std::string frame_list(const Plan &plan) {
    std::string list;
    for (const Capture &capture : plan.captures) {
        if (!list.empty()) list += ',';
        list += std::to_string(capture.frame);
    }
    return list;
}

// Serves the plan's captures while the example runs; returns the example's exit code, or -1.
long run_example(const Plan &plan) {
    SetEnvironmentVariableA("KESTRIX_KELPO_HOLD", frame_list(plan).c_str());
    SetEnvironmentVariableA("KESTRIX_KELPO_FRAMES", std::to_string(plan.frames).c_str());
    std::string command = std::string(plan.example) + ".exe -r glide_3 -w " + std::to_string(kelpoWidth) +
                          " -h " + std::to_string(kelpoHeight) + " -b " + std::to_string(kelpoBits);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("FAIL: cannot start %s (error %lu)\n", command.c_str(), GetLastError());
        return -1;
    }
    size_t next = 0;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, pollMs) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > runTimeoutMs) {
            std::printf("FAIL: %s still runs after %lu ms\n", plan.example,
                        static_cast<unsigned long>(runTimeoutMs));
            TerminateProcess(process.hProcess, 99);
            break;
        }
        if (next == plan.captures.size()) continue;
        const Capture &capture = plan.captures[next];
        const std::string frame = std::to_string(capture.frame);
        if (!kx::file_exists("kelpo-frame-" + frame)) continue;
        check(kx::request_capture(capture.name, capture.pixels, captureTimeoutMs),
              (std::string("frame ") + frame + " shows what it should (" + capture.name + ")").c_str());
        kx::write_file("kelpo-go-" + frame, frame + "\n");
        ++next;
    }
    check(next == plan.captures.size(), "the example showed every frame the plan captures");
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// The hook read the mode at the first frame and right after grSstWinClose, before the process ended.
void check_display(const DEVMODEA &before) {
    std::string text;
    unsigned long during[3] = {}, after[3] = {};
    bool read = kx::read_file("kelpo-display.txt", text) &&
                std::sscanf(text.c_str(), "during %lu %lu %lu after %lu %lu %lu", &during[0], &during[1],
                            &during[2], &after[0], &after[1], &after[2]) == 6;
    check(read, "the frame hook saw grSstWinClose");
    std::printf(
        "display mode before %lux%lu %lu bits, while drawing %lux%lu %lu, after grSstWinClose %lux%lu %lu\n",
        before.dmPelsWidth, before.dmPelsHeight, before.dmBitsPerPel, during[0], during[1], during[2],
        after[0], after[1], after[2]);
    check(during[0] == kelpoWidth && during[1] == kelpoHeight && during[2] == kelpoBits,
          "the example drew in the mode it asked for");
    check(after[0] == before.dmPelsWidth && after[1] == before.dmPelsHeight &&
              after[2] == before.dmBitsPerPel,
          "grSstWinClose gave the display mode back");
}

void print_frame_rate(const Plan &plan) {
    std::string timing;
    unsigned frames = 0;
    double seconds = 0;
    if (!kx::read_file("kelpo-timing.txt", timing) ||
        std::sscanf(timing.c_str(), "frames %u seconds %lf", &frames, &seconds) != 2 || seconds <= 0) {
        check(false, "the frame hook reported the run's timing");
        return;
    }
    std::printf("%s: %u frames in %.3f s, %.1f frames per second\n", plan.example, frames, seconds,
                frames / seconds);
}

} // namespace

int main() {
    const char *name = KELPO_NAME(KELPO_EXAMPLE);
    const Plan *plan = nullptr;
    for (const Plan &candidate : plans)
        if (std::strcmp(candidate.example, name) == 0) plan = &candidate;
    if (!plan) return kx::finish(2);
    check(kx::expect_log(plan->log), "asked the runner to check kestrix.log after exit");
    // The library's defaults, whatever settings an earlier test left in the shared prefix.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, settingsKey);
    // The cube example turns with the mouse: a pointer resting on the window's corner leaves it still.
    SetCursorPos(0, 0);
    const DEVMODEA before = display_mode();
    const long code = run_example(*plan);
    check(code == 0,
          (std::string(plan->example) + " exits with success (" + std::to_string(code) + ")").c_str());
    check_display(before);
    print_frame_rate(*plan);
    return kx::finish(failures ? 1 : 0);
}
