// Shared state of the platform simulation. Not for tests: use sim.h.
#ifndef KESTRIX_PLATFORM_SIM_INTERNAL_H
#define KESTRIX_PLATFORM_SIM_INTERNAL_H

#include "sim/sim.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sim {
namespace detail {

struct SurfaceImpl;
struct PaletteImpl;
struct DirectDrawImpl;
struct Direct3DImpl;
struct DeviceImpl;

// Common bookkeeping of every simulated COM object. Objects are owned by the
// world and only freed by reset(), so a use after the last Release is reported
// instead of crashing.
struct ObjectBase {
    virtual ~ObjectBase() = default;
    ULONG refs = 1;
    bool destroyed = false;
    bool reclaimed = false; // destroyed by its DirectDraw object's release: not a leak
    virtual std::string describe() const = 0;
    // Frees resources and drops the references the object holds.
    virtual void destroy() = 0;
    // False while something else keeps the object alive at zero external references
    // (a back buffer inside its complex flipping chain).
    virtual bool canDieAtZero() const { return true; }
    // Lines for the leak report; empty when the object is properly gone.
    virtual std::string leakProblems() const {
        if (destroyed) return std::string();
        return describe() + " still referenced (refcount " + std::to_string(refs) + ")\n";
    }
};

struct Fault {
    std::string name;
    int occurrence;
    int seen;
    HRESULT hr;
    bool byRole;
    SurfaceRole role;
};

struct RegValue {
    DWORD type;
    std::vector<unsigned char> bytes;
};
struct RegKey {
    std::map<std::string, RegValue> values; // lower-case names
    bool denyOpen = false;
    bool denyWrite = false;
};
struct OpenKey {
    std::string path; // lower-case "root\\sub\\key"
    bool writable;
};

struct Window {
    std::string title;
    RECT rect;
    bool enabled = true;
    bool visible = true;
    // Dialog support.
    HWND parent = nullptr;
    int controlId = 0;
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR endResult = -1;
    UINT check = 0;
    LRESULT trackPos = 0, trackMin = 0, trackMax = 100;
    std::vector<std::string> items;
    std::vector<LPARAM> itemData;
    // Created by CreateWindowExA: the program must destroy it.
    bool created = false;
    std::string className;
    LRESULT curSel = CB_ERR;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool iconic = false;
};

struct Bitmap {
    int width;
    int height;
    std::vector<uint32_t> rgb; // 0x00RRGGBB, top-down
    bool dibSection;
    std::vector<unsigned char> dibBits; // bottom-up 24-bit rows, for BITMAP::bmBits
    HDC selectedInto = nullptr;
};
struct MemoryDc {
    HBITMAP selected = nullptr;     // null: the stock 1x1 bitmap
    SurfaceImpl *surface = nullptr; // set for DCs from IDirectDrawSurface7::GetDC
};

struct OpenFile {
    int fd;
    bool append;
    std::string path;
};

struct MemoryRegion {
    std::shared_ptr<unsigned char> bytes;
    size_t size = 0;
    bool watched = false;
    std::vector<unsigned char> atReset;
};

struct World {
    // recording
    bool recording = true;
    std::vector<Call> calls;
    Counters counters;
    std::vector<Fault> faults;
    std::vector<std::string> misuse;

    // COM objects
    std::vector<std::unique_ptr<ObjectBase>> objects;
    std::set<const void *> surfaces; // IDirectDrawSurface7* of every surface ever made
    std::set<const void *> palettes;
    std::set<const void *> devices;
    std::set<const void *> clippers;

    // DirectDraw configuration
    DisplayMode desktop{1024, 768, 32, false};
    DisplayMode mode{1024, 768, 32, false};
    std::function<bool(DWORD, DWORD, DWORD)> acceptMode;
    CooperativeLevel coop{nullptr, 0, false}; // the level last set, by coopSetter
    const void *coopSetter = nullptr;
    // The DirectDraw object holding the exclusive level, and the one whose SetDisplayMode is in force.
    const void *exclusiveOwner = nullptr;
    const void *modeOwner = nullptr;
    DDDEVICEIDENTIFIER2 identifier{};
    std::function<void()> directDrawCreateHook;
    BOOL inVBlank = FALSE;
    HRESULT vblankHr = DD_OK;
    DWORD scanLine = 0;
    HRESULT scanLineHr = DD_OK;
    DWORD pitchPadding = 0;
    bool clearNewSurfaces = true;
    DWORD refreshRate = 60;
    HRESULT waitVblankHr = DD_OK;
    bool waitVblankBlocks = true;
    bool convertingBlt = false;
    bool rasterising = false;
    DWORD driverCaps2 = 0;
    bool gammaRampSet = false;
    DDGAMMARAMP gammaRamp{};
    DeviceConfig devices5[5];

    // registry
    std::map<std::string, RegKey> keys; // lower-case full path
    std::map<uintptr_t, OpenKey> openKeys;

    // user
    std::map<uintptr_t, Window> windows;
    HWND active = nullptr;
    std::vector<MoveWindowCall> moves;
    std::map<std::string, WNDPROC> classes; // registered window classes by name
    int messagePumps = 0;                   // PeekMessageA calls
    POINT cursor{0, 0};
    bool workAreaSet = false;
    RECT workArea{0, 0, 0, 0};
    int cursorCount = 0;
    std::vector<MessageBoxCall> boxes;
    int boxResult = IDOK;
    std::function<void(HWND)> dialogScript;

    // gdi, modules
    std::map<uintptr_t, Bitmap> bitmaps;
    std::map<uintptr_t, MemoryDc> dcs;
    std::map<std::string, HINSTANCE> modules; // lower-case name
    std::map<std::pair<uintptr_t, std::string>, std::vector<unsigned char>> resources;

    // files
    std::string cwd;
    std::map<uintptr_t, OpenFile> files;
    bool fileOpenFails = false;
    DWORD lastError = 0;

    // kernel
    OSVERSIONINFOA os{};
    std::vector<unsigned long long> tsc;
    size_t tscNext = 0;
    unsigned long long tscLast = 0;
    unsigned long long qpc = 0;
    DWORD ticks = 0;
    std::vector<DWORD> sleeps;
    std::vector<UINT> sleepTimerPeriods;
    std::vector<UINT> timerPeriods; // raised by timeBeginPeriod, not yet lowered
    std::vector<std::string> debug;
    // VirtualAlloc regions by base address; a watched region keeps the bytes of its last reset, and a page
    // differing from them counts as written.
    std::map<uintptr_t, MemoryRegion> regions;
    bool writeWatchAvailable = true;

    uintptr_t nextHandle = 0x10000;
    int criticalSections = 0; // initialised and not yet deleted
};

World &world();
void ensureInitialised();
// A display mode change loses the surfaces of every DirectDraw object, not only the caller's.
void loseAllSurfaces();

uintptr_t newHandle();
template <typename T> inline T handleOf(uintptr_t id) {
    return reinterpret_cast<T>(id);
}
template <typename T> inline uintptr_t idOf(T handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

// Returns the fault's HRESULT when a registered fault hits this call, else S_OK.
HRESULT checkFault(const char *name, const SurfaceRole *role = nullptr);
inline bool recordingOn() {
    return world().recording;
}
Call &record(const char *name, const void *object, HRESULT hr);
void noteMisuse(const std::string &what);

std::string lower(const std::string &s);
std::string resolvePath(const char *name);

// QueryInterface of an object that offers its own interface and IUnknown.
template <typename Interface, typename Impl>
HRESULT queryOwnInterface(Impl *self, REFIID own, REFIID riid, void **ppv,
                          const SurfaceRole *role = nullptr) {
    HRESULT hr = checkFault("QueryInterface", role);
    if (hr == S_OK) {
        if (!ppv) {
            hr = DDERR_INVALIDPARAMS;
        } else if (riid == own || riid == IID_IUnknown) {
            ++self->refs;
            *ppv = static_cast<Interface *>(self);
        } else {
            *ppv = nullptr;
            hr = E_NOINTERFACE;
        }
    }
    if (recordingOn()) record("QueryInterface", self, hr).result = ppv ? *ppv : nullptr;
    return hr;
}

// Object lifetime helpers used by all COM classes.
ULONG addRefObject(ObjectBase *o, const char *name, const void *iface);
ULONG releaseObject(ObjectBase *o, const char *name, const void *iface);
void internalAddRef(ObjectBase *o);
void internalRelease(ObjectBase *o);
void killObject(ObjectBase *o);

// The window's frame around its client area, as the simulation draws it for a style.
RECT windowFrame(DWORD style);
// The client area of a window in screen coordinates; empty for an unknown window.
RECT clientOnScreen(HWND hwnd);

// The simulated clock: QueryPerformanceCounter's frequency, and how far Sleep moves it.
const unsigned long long clockFrequency = 3579545;
void advanceClock(unsigned long long ticks);

// Pixel helpers.
DWORD bytesPerPixel(const DDPIXELFORMAT &pf);
uint32_t packRgb(const DDPIXELFORMAT &pf, uint32_t rgb);
uint32_t unpackRgb(const DDPIXELFORMAT &pf, uint32_t value);
uint32_t readPixel(const unsigned char *row, DWORD bpp, int x);
void writePixel(unsigned char *row, DWORD bpp, int x, uint32_t value);

// Surface access for GDI (surface DCs).
SurfaceImpl *surfaceFromInterface(const void *p);
bool surfaceGeometry(SurfaceImpl *s, int *w, int *h);
uint32_t surfaceGetRgb(SurfaceImpl *s, int x, int y);
void surfacePutRgb(SurfaceImpl *s, int x, int y, uint32_t rgb);
void surfaceDcReleased(SurfaceImpl *s);

void resetDeviceConfigs();
std::string leakReportCom();
std::string leakReportWindows();
std::string leakReportMemory();

} // namespace detail
} // namespace sim

#endif
