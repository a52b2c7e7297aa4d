// Runs one Kelpo example (KELPO_EXAMPLE) on its Glide 3 renderer over tessel3 for a fixed number of frames,
// captures the frames the plan names when the frame hook in the renderer holds them, then checks that the
// example ended by itself with success, that the display mode came back, and prints the frame rate.
#include <windows.h>

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

const unsigned kelpoWidth = 640, kelpoHeight = 480, kelpoBits = 16;

const std::vector<std::string> banner = {"= ---------------------------------------",
                                         "=               Kestrix 3.0              "};
// The combine modes Kelpo sets: iterated colour for untextured triangles, texture times iterated colour
// (and alpha) for textured ones. The library logs each mode it meets once.
const std::string untexturedColor = "= grColorCombine(1, 0, 0, 2);";
const std::string texturedColor = "= grColorCombine(3, 1, 0, 1);";
const std::string texturedAlpha = "= grAlphaCombine(3, 1, 0, 1);";

const std::vector<Plan> plans = {
    {"rotating_triangle",
     40,
     {{1, "kelpo_triangle", {}}, {40, "kelpo_triangle_turned", {}}},
     {banner[0], banner[1], untexturedColor}},
    {"mouse_rotating_cube",
     10,
     {{10, "kelpo_cube", {}}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"texture_painting",
     30,
     {{30, "kelpo_painting", {}}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"high_polycount_model",
     20,
     {{20, "kelpo_model", {}}},
     {banner[0], banner[1], texturedColor, texturedAlpha}},
    {"renderer_switching",
     20,
     {{20, "kelpo_text", {}}},
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
    for (const Capture &capture : plan.captures)
        list += (list.empty() ? "" : ",") + std::to_string(capture.frame);
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
