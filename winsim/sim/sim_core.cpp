// Core of the simulation: world state, reset, recording, faults, lifetimes, leaks.
#include "sim/sim_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <system_error>

namespace sim {
namespace detail {

namespace {

World *g_world = nullptr;

// Removes the per-reset temporary directory when the process exits.
struct TempDirGuard {
    std::string path;
    ~TempDirGuard() { removeNow(); }
    void removeNow() {
        if (!path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
            path.clear();
        }
    }
};
TempDirGuard g_tempDir;

std::string makeTempDir() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string templ = (base / "kestrix-sim-XXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) std::abort();
    return std::string(buf.data());
}

} // namespace

World &world() {
    if (!g_world) sim::reset();
    return *g_world;
}

void ensureInitialised() {
    (void)world();
}

uintptr_t newHandle() {
    World &w = world();
    w.nextHandle += 4;
    return w.nextHandle;
}

std::string lower(const std::string &s) {
    std::string r = s;
    for (char &c : r)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// Windows paths map into the per-reset current directory so tests never touch
// anything else: ".\\a\\b" and "a" are relative, "C:\\x" becomes "<cwd>/C/x".
std::string resolvePath(const char *name) {
    std::string p = name ? name : "";
    std::replace(p.begin(), p.end(), '\\', '/');
    const std::string &cwd = world().cwd;
    std::string rel;
    if (!p.empty() && p[0] == '/') {
        rel = p.compare(0, cwd.size(), cwd) == 0 ? p.substr(cwd.size()) : p;
    } else if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        rel = std::string(1, p[0]) + "/" + p.substr(2);
    } else {
        rel = p;
    }
    // Windows folds "." and ".." lexically, whether or not the folders exist.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rel.size()) {
        size_t end = rel.find('/', start);
        if (end == std::string::npos) end = rel.size();
        std::string part = rel.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = cwd;
    for (const std::string &part : parts)
        out += "/" + part;
    return out;
}

HRESULT checkFault(const char *name, const SurfaceRole *role) {
    World &w = world();
    if (w.faults.empty()) return S_OK;
    HRESULT result = S_OK;
    for (Fault &f : w.faults) {
        if (f.name != name) continue;
        if (f.byRole && (!role || *role != f.role)) continue;
        ++f.seen;
        if ((f.occurrence == 0 || f.seen == f.occurrence) && result == S_OK) result = f.hr;
    }
    return result;
}

Call &record(const char *name, const void *object, HRESULT hr) {
    World &w = world();
    w.calls.emplace_back();
    Call &c = w.calls.back();
    c.name = name;
    c.object = object;
    c.hr = hr;
    return c;
}

void noteMisuse(const std::string &what) {
    world().misuse.push_back(what);
}

ULONG addRefObject(ObjectBase *o, const char *name, const void *iface) {
    if (o->destroyed) {
        noteMisuse(std::string("AddRef on destroyed ") + o->describe());
        return 0;
    }
    ++o->refs;
    if (recordingOn()) record("AddRef", iface, S_OK).args = {o->refs};
    (void)name;
    return o->refs;
}

void killObject(ObjectBase *o) {
    if (o->destroyed) return;
    o->destroyed = true;
    o->destroy();
}

ULONG releaseObject(ObjectBase *o, const char *name, const void *iface) {
    (void)name;
    if (o->destroyed) {
        noteMisuse(std::string("Release on destroyed ") + o->describe());
        if (recordingOn()) record("Release", iface, S_OK).args = {0};
        return 0;
    }
    if (o->refs == 0) {
        noteMisuse(std::string("Release with no reference held on ") + o->describe());
        if (recordingOn()) record("Release", iface, S_OK).args = {0};
        return 0;
    }
    ULONG left = --o->refs;
    if (recordingOn()) record("Release", iface, S_OK).args = {left};
    if (left == 0 && o->canDieAtZero()) killObject(o);
    return left;
}

void internalAddRef(ObjectBase *o) {
    if (!o->destroyed) ++o->refs;
}

void internalRelease(ObjectBase *o) {
    if (o->destroyed || o->refs == 0) return;
    if (--o->refs == 0 && o->canDieAtZero()) killObject(o);
}

DWORD bytesPerPixel(const DDPIXELFORMAT &pf) {
    DWORD bits = pf.dwRGBBitCount;
    if (pf.dwFlags & DDPF_ZBUFFER) {
        bits = pf.dwZBufferBitDepth;
        if (bits > 16) return 4;
    }
    // An 8-bit index with an 8-bit alpha (A8P8) takes two bytes.
    if (pf.dwFlags & DDPF_PALETTEINDEXED4) return 1;
    if ((pf.dwFlags & DDPF_PALETTEINDEXED8) && bits <= 8) return 1;
    if (bits == 0) return 0;
    return (bits + 7) / 8;
}

namespace {
int lowBit(DWORD m) {
    int s = 0;
    while (s < 32 && !(m & (1u << s)))
        ++s;
    return s;
}
int bitCount(DWORD m) {
    int n = 0;
    for (; m; m &= m - 1)
        ++n;
    return n;
}
// 8-bit component -> field: keeps the top bits, as GDI's DIB conversion does.
uint32_t packField(uint32_t c8, DWORD mask) {
    if (!mask) return 0;
    int bits = bitCount(mask), shift = lowBit(mask);
    uint32_t v = bits >= 8 ? (c8 << (bits - 8)) : (c8 >> (8 - bits));
    return (v << shift) & mask;
}
// Field -> 8-bit component by bit replication (31 -> 255, 0 -> 0).
uint32_t unpackField(uint32_t value, DWORD mask) {
    if (!mask) return 0;
    int bits = bitCount(mask), shift = lowBit(mask);
    uint32_t v = (value & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    uint32_t r = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        r |= (v << (8 - bits)) >> filled;
    }
    return r & 0xFF;
}
} // namespace

uint32_t packRgb(const DDPIXELFORMAT &pf, uint32_t rgb) {
    uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    uint32_t v = packField(r, pf.dwRBitMask) | packField(g, pf.dwGBitMask) | packField(b, pf.dwBBitMask);
    if (pf.dwFlags & DDPF_ALPHAPIXELS) v |= pf.dwRGBAlphaBitMask;
    return v;
}

uint32_t unpackRgb(const DDPIXELFORMAT &pf, uint32_t value) {
    return (unpackField(value, pf.dwRBitMask) << 16) | (unpackField(value, pf.dwGBitMask) << 8) |
           unpackField(value, pf.dwBBitMask);
}

uint32_t readPixel(const unsigned char *row, DWORD bpp, int x) {
    const unsigned char *p = row + static_cast<size_t>(x) * bpp;
    switch (bpp) {
    case 1:
        return p[0];
    case 2:
        return static_cast<uint32_t>(p[0] | (p[1] << 8));
    case 3:
        return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    default: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void writePixel(unsigned char *row, DWORD bpp, int x, uint32_t value) {
    unsigned char *p = row + static_cast<size_t>(x) * bpp;
    switch (bpp) {
    case 1:
        p[0] = static_cast<unsigned char>(value);
        break;
    case 2:
        p[0] = static_cast<unsigned char>(value);
        p[1] = static_cast<unsigned char>(value >> 8);
        break;
    case 3:
        p[0] = static_cast<unsigned char>(value);
        p[1] = static_cast<unsigned char>(value >> 8);
        p[2] = static_cast<unsigned char>(value >> 16);
        break;
    default:
        std::memcpy(p, &value, 4);
        break;
    }
}

} // namespace detail

using namespace detail;

void reset() {
    if (g_world) {
        // Close files before the directory goes.
        for (auto &f : g_world->files)
            ::close(f.second.fd);
        delete g_world;
        g_world = nullptr;
    }
    // The directory stays for the next world, emptied: the fuzzer resets twice an input.
    std::error_code missing;
    if (g_tempDir.path.empty() || !std::filesystem::is_directory(g_tempDir.path, missing)) {
        g_tempDir.path = makeTempDir();
    } else {
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(g_tempDir.path, ec))
            std::filesystem::remove_all(entry.path(), ec);
    }
    g_world = new World();
    World &w = *g_world;
    w.cwd = g_tempDir.path;
    w.acceptMode = [](DWORD, DWORD, DWORD bpp) { return bpp == 16 || bpp == 32; };
    std::strcpy(w.identifier.szDriver, "kestrix-sim.dll");
    std::strcpy(w.identifier.szDescription, "Simulated 3D Accelerator");
    w.identifier.dwVendorId = 0x121A;
    w.identifier.dwDeviceId = 0x0005;
    w.os.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    w.os.dwMajorVersion = 5;
    w.os.dwMinorVersion = 1;
    w.os.dwBuildNumber = 2600;
    w.os.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::strcpy(w.os.szCSDVersion, "Service Pack 3");
    w.tscLast = 1000000;
    resetDeviceConfigs();
}

namespace {

void (*beforeReadingCalls)() = nullptr;
bool readingCalls = false;

void prepareReading() {
    if (beforeReadingCalls == nullptr || readingCalls) return;
    readingCalls = true;
    beforeReadingCalls();
    readingCalls = false;
}

} // namespace

void setBeforeReadingCalls(void (*hook)()) {
    beforeReadingCalls = hook;
}

const std::vector<Call> &calls() {
    prepareReading();
    return world().calls;
}

std::vector<Call> callsNamed(const char *name) {
    prepareReading();
    std::vector<Call> out;
    for (const Call &c : world().calls)
        if (c.name == name) out.push_back(c);
    return out;
}

void clearCalls() {
    world().calls.clear();
}
void setRecording(bool on) {
    world().recording = on;
}
Counters counters() {
    prepareReading();
    return world().counters;
}

void failCall(const char *name, int occurrence, HRESULT hr) {
    world().faults.push_back(Fault{name, occurrence, 0, hr, false, SurfaceRole::Other});
}

void failCallOn(const char *name, SurfaceRole role, HRESULT hr, int occurrence) {
    world().faults.push_back(Fault{name, occurrence, 0, hr, true, role});
}

void clearFaults() {
    world().faults.clear();
}

std::string leakReport() {
    World &w = world();
    std::string out = leakReportCom();
    out += leakReportWindows();
    out += leakReportMemory();
    for (UINT period : w.timerPeriods)
        out += "timer period " + std::to_string(period) + " ms raised and not lowered\n";
    for (const std::string &m : w.misuse)
        out += "misuse: " + m + "\n";
    return out;
}

} // namespace sim
