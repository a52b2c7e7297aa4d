// Milliseconds per frame of 16,384 triangles of one and of eight pixels, drawn one call each, as fans of 64
// and as Glide 3 vertex arrays through tessel2.dll and tessel3.dll, and the same triangles straight through
// Direct3D 7: what a Glide call costs over the device call it becomes. Printed, not asserted.
#include "probe.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "wine_harness.h"

namespace probe {

FARPROC findEntry(HMODULE dll, const char *decorated) {
    FARPROC found = GetProcAddress(dll, decorated);
    if (found != nullptr || decorated[0] != '_') return found;
    std::string plain(decorated + 1);
    return GetProcAddress(dll, plain.substr(0, plain.find('@')).c_str());
}

std::vector<Fan> makeFans(float pixels) {
    // A fan's triangle of radius r covers r² sin(2π / fanTriangles) / 2 pixels.
    const float pi = 3.14159265f;
    const float step = 2.0f * pi / fanTriangles;
    const float radius = std::sqrt(2.0f * pixels / std::sin(step));
    const int columns = 16;
    const float cellWidth = static_cast<float>(screenWidth) / columns;
    const float cellHeight = static_cast<float>(screenHeight) / (fanCount / columns);
    std::vector<Fan> fans(fanCount);
    for (int i = 0; i < fanCount; ++i) {
        Fan &fan = fans[i];
        fan.centre = {(static_cast<float>(i % columns) + 0.5f) * cellWidth,
                      (static_cast<float>(i / columns) + 0.5f) * cellHeight};
        for (int k = 0; k <= fanTriangles; ++k) {
            float angle = step * static_cast<float>(k % fanTriangles);
            fan.rim[k] = {fan.centre.x + radius * std::cos(angle), fan.centre.y + radius * std::sin(angle)};
        }
    }
    return fans;
}

} // namespace probe

namespace {

using probe::Timings;

void printRow(const char *name, const Timings t[2], int method, double baseline1, double baseline8) {
    if (t[0].ms[method] < 0) return;
    std::printf("%-44s %8.2f %8.2f %8.2fx %8.2fx\n", name, t[0].ms[method], t[1].ms[method],
                t[0].ms[method] / baseline1, t[1].ms[method] / baseline8);
}

HWND makeWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KestrixDrawCallBench";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "draw call bench", WS_POPUP | WS_VISIBLE, 0, 0,
                           probe::screenWidth, probe::screenHeight, nullptr, nullptr, wc.hInstance, nullptr);
}

} // namespace

int main() {
    const float onePixel = 1.0f, eightPixels = 8.0f;
    std::vector<probe::Fan> fans[2] = {probe::makeFans(onePixel), probe::makeFans(eightPixels)};
    HWND window = makeWindow();
    Timings glide2[2], glide3[2], direct[2];
    for (Timings *t : {glide2, glide3, direct})
        for (int s = 0; s < 2; ++s)
            for (double &ms : t[s].ms)
                ms = -1.0;
    bool ok = probe::runDirect3D(window, fans, direct);
    ok = probe::runGlide2(window, fans, glide2) && ok;
    ok = probe::runGlide3(window, fans, glide3) && ok;
    kx::pump(100);
    DestroyWindow(window);

    // Ratios to Direct3D 7's batched draw of the same triangles.
    double base1 = direct[0].ms[probe::batchedList], base8 = direct[1].ms[probe::batchedList];
    std::printf("%d triangles a frame, median of %d timed frames\n", probe::trianglesPerFrame,
                probe::timedFrames);
    std::printf("%-44s %8s %8s %9s %9s\n", "ms per frame", "1 px", "8 px", "/D3D 1px", "/D3D 8px");
    printRow("Direct3D 7, one DrawPrimitive per triangle", direct, probe::oneCallEach, base1, base8);
    printRow("Direct3D 7, fans of 64", direct, probe::fansOf64, base1, base8);
    printRow("Direct3D 7, batched triangle lists", direct, probe::batchedList, base1, base8);
    printRow("tessel2 grDrawTriangle each", glide2, probe::oneCallEach, base1, base8);
    printRow("tessel2 grDrawPolygonVertexList fans of 64", glide2, probe::fansOf64, base1, base8);
    printRow("tessel3 grDrawTriangle each", glide3, probe::oneCallEach, base1, base8);
    printRow("tessel3 grDrawVertexArray fans of 64", glide3, probe::fansOf64, base1, base8);
    printRow("tessel3 vertex arrays GR_TRIANGLES", glide3, probe::vertexArrayTriangles, base1, base8);
    for (int s = 0; s < 2; ++s)
        std::printf("%s: tessel2 one call each / fans %.2fx, tessel3 one call each / fans %.2fx\n",
                    s == 0 ? "1 px" : "8 px",
                    glide2[s].ms[probe::oneCallEach] / glide2[s].ms[probe::fansOf64],
                    glide3[s].ms[probe::oneCallEach] / glide3[s].ms[probe::fansOf64]);
    kx::write_file("exit-code.txt", ok ? "0\n" : "1\n");
    return ok ? 0 : 1;
}
