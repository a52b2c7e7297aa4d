// What a test reads back from the simulated Windows: the calls recorded on its objects, the objects still
// alive, the leak report, and the files of the source tree. Knows no Glide library, so the test programs of
// every front end share it.
#ifndef KESTRIX_SIM_ASSERTIONS_H
#define KESTRIX_SIM_ASSERTIONS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sim/sim.h"

// A file of the source tree, by its path from the top.
inline std::vector<unsigned char> readSourceFile(const std::string &relative) {
    std::ifstream in(std::string(KESTRIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- recorded calls ------------------------------------------------------------------------------------

inline std::vector<sim::Call> named(const char *name) {
    return sim::callsNamed(name);
}

inline size_t countNamed(const char *name) {
    return sim::callsNamed(name).size();
}

// The index of the first call with this name at or after `from`, or npos.
inline size_t findCall(const char *name, size_t from = 0) {
    const std::vector<sim::Call> &calls = sim::calls();
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i].name == name) return i;
    return std::string::npos;
}

// Checks that the calls appear in this order, not necessarily adjacent.
inline ::testing::AssertionResult inOrder(const std::vector<std::string> &names, size_t from = 0) {
    size_t at = from;
    for (const std::string &name : names) {
        size_t next = findCall(name.c_str(), at);
        if (next == std::string::npos)
            return ::testing::AssertionFailure() << name << " missing after call " << at;
        at = next + 1;
    }
    return ::testing::AssertionSuccess();
}

inline std::vector<unsigned long long> firstArgs(const sim::Call &call, size_t count) {
    return std::vector<unsigned long long>(call.args.begin(),
                                           call.args.begin() + std::min(count, call.args.size()));
}

// Every SetRenderState as state, value, state, value…
inline std::vector<unsigned long long> renderStates() {
    std::vector<unsigned long long> states;
    for (const sim::Call &call : sim::callsNamed("SetRenderState")) {
        states.push_back(call.args[0]);
        states.push_back(call.args[1]);
    }
    return states;
}

// The calls of this name made on this object.
inline size_t callsOn(const char *name, const void *object) {
    size_t count = 0;
    for (const sim::Call &call : sim::callsNamed(name))
        count += call.object == object;
    return count;
}

// ---- drawn vertices ------------------------------------------------------------------------------------

// A pre-transformed vertex with diffuse and specular colours and two texture coordinate sets, laid out as
// its vertex format prescribes.
struct TlVertex {
    float x, y, z, rhw;
    DWORD diffuse, specular; // ARGB
    float tu0, tv0;
    float tu1, tv1;
};

const DWORD tlVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;

// The vertices a DrawPrimitive call handed the device; none unless they came in tlVertexFormat.
inline std::vector<TlVertex> verticesOf(const sim::Call &call) {
    EXPECT_EQ(call.args.size() > 1 ? call.args[1] : 0u, tlVertexFormat);
    if (call.args.size() < 2 || call.args[1] != tlVertexFormat) return {};
    std::vector<TlVertex> vertices(call.data.size() / sizeof(TlVertex));
    if (!vertices.empty()) std::memcpy(vertices.data(), call.data.data(), vertices.size() * sizeof(TlVertex));
    return vertices;
}

// The vertices of the only DrawPrimitive since the last clearCalls.
inline std::vector<TlVertex> drawnVertices() {
    std::vector<sim::Call> draws = sim::callsNamed("DrawPrimitive");
    EXPECT_EQ(draws.size(), 1u);
    if (draws.size() != 1) return {};
    return verticesOf(draws[0]);
}

// The corners of every triangle the draws drew, three a triangle in the order Direct3D takes them from
// lists, fans and strips, then line ends and points as they came: the same whatever calls the library
// joined its primitives into.
inline std::vector<TlVertex> drawnCorners(const std::vector<sim::Call> &draws) {
    std::vector<TlVertex> corners;
    for (const sim::Call &draw : draws) {
        std::vector<TlVertex> v = verticesOf(draw);
        D3DPRIMITIVETYPE type = static_cast<D3DPRIMITIVETYPE>(draw.args.empty() ? 0 : draw.args[0]);
        for (size_t i = 0; i + 2 < v.size() && type == D3DPT_TRIANGLEFAN; ++i)
            corners.insert(corners.end(), {v[0], v[i + 1], v[i + 2]});
        for (size_t i = 0; i + 2 < v.size() && type == D3DPT_TRIANGLESTRIP; ++i)
            corners.insert(corners.end(), {v[i + (i % 2)], v[i + 1 - (i % 2)], v[i + 2]});
        if (type != D3DPT_TRIANGLEFAN && type != D3DPT_TRIANGLESTRIP)
            corners.insert(corners.end(), v.begin(), v.end());
    }
    return corners;
}

// ---- objects -------------------------------------------------------------------------------------------

// The one Direct3D device alive; null, and a failure, when there is none or more than one.
inline IDirect3DDevice7 *liveDevice() {
    std::vector<IDirect3DDevice7 *> devices = sim::liveDevices();
    if (devices.size() == 1) return devices[0];
    ADD_FAILURE() << devices.size() << " live devices where one was expected";
    return nullptr;
}

// The surface the one live device draws into: the back buffer of the moment.
inline IDirectDrawSurface7 *renderTarget() {
    IDirectDrawSurface7 *target = nullptr;
    IDirect3DDevice7 *device = liveDevice();
    if (device == nullptr || device->GetRenderTarget(&target) != D3D_OK) return nullptr;
    target->Release();
    return target;
}

// The one live surface of this role; null, and a failure, when there is none or more than one.
inline IDirectDrawSurface7 *liveSurface(sim::SurfaceRole role) {
    std::vector<IDirectDrawSurface7 *> found;
    for (IDirectDrawSurface7 *surface : sim::liveSurfaces())
        if (sim::roleOf(surface) == role) found.push_back(surface);
    if (found.size() == 1) return found[0];
    ADD_FAILURE() << found.size() << " live surfaces of role " << static_cast<int>(role)
                  << " where one was expected";
    return nullptr;
}

// The screen: the primary surface and the back buffer of its flipping chain.
inline IDirectDrawSurface7 *frontBuffer() {
    return liveSurface(sim::SurfaceRole::Primary);
}
inline IDirectDrawSurface7 *backBuffer() {
    return liveSurface(sim::SurfaceRole::BackBuffer);
}

// The texture surfaces created, in order, whether or not they are still alive.
inline std::vector<const void *> texturesCreated() {
    std::vector<const void *> made;
    for (const sim::Call &call : sim::callsNamed("CreateSurface"))
        if (call.result && (call.desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE)) made.push_back(call.result);
    return made;
}

inline bool alive(const void *surface) {
    return sim::surfaceInfo(static_cast<IDirectDrawSurface7 *>(const_cast<void *>(surface))).alive;
}

// ---- leaks ---------------------------------------------------------------------------------------------

// The leak report without the lines about this file and the entry lock, which a loaded library legitimately
// keeps.
inline std::string leaksBesides(const std::string &openFile) {
    std::string report = sim::leakReport(), kept;
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        if (end == std::string::npos) end = report.size() - 1;
        std::string line = report.substr(start, end - start + 1);
        if (line.find(openFile) == std::string::npos && line.find("critical section") == std::string::npos)
            kept += line;
        start = end + 1;
    }
    return kept;
}

#endif
