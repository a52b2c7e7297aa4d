// Test-control API of the simulated Windows behind winsim/include.
//
// Every test starts with sim::reset(). The simulation records the calls made on
// DirectDraw / Direct3D objects, injects faults, and lets tests inspect surfaces,
// windows, registry, files and GDI state.
//
// Recorded arguments per method (Call::args unless stated; "surface" means the
// Call::source pointer, "result" the Call::result pointer):
//   DirectDrawCreateEx   {guid pointer as integer}; result = created object
//   QueryInterface       {} text = "IID_..." name or "unknown"; result = interface
//   AddRef / Release     {new reference count}
//   SetCooperativeLevel  {hwnd as integer, flags}
//   SetDisplayMode       {w, h, bpp, refresh, flags}
//   RestoreDisplayMode, TestCooperativeLevel, RestoreAllSurfaces, EvictManagedTextures,
//   BeginScene, EndScene, IsLost, Restore   {}
//   GetDisplayMode, GetDeviceIdentifier {flags}, GetVerticalBlankStatus, GetScanLine,
//   WaitForVerticalBlank {flags}, GetAvailableVidMem, EnumDisplayModes {flags}
//   CreateClipper        {flags}; result = clipper      SetHWnd {flags, hwnd as integer}   GetHWnd {}
//   SetClipper           surface = clipper (IDirectDrawClipper*)   GetClipper {}
//   ChangeDisplaySettingsA {whether a mode was given, flags[, width, height, bpp of the mode set]}
//   SetWindowLongA       {index, value}; object = hwnd  SetWindowPos {x, y, cx, cy, flags}; object = hwnd
//   CreateSurface        desc = request as passed; result = created surface
//   CreatePalette        {flags}; data = the 256 (or fewer) PALETTEENTRY bytes; result
//   GetAttachedSurface   {dwCaps, dwCaps2}; result = surface returned
//   AddAttachedSurface   surface = attached
//   DeleteAttachedSurface {flags}; surface = detached
//   Lock                 {flags, hasRect, left, top, right, bottom}
//   Unlock               {hasRect}
//   GetDC, ReleaseDC     {}
//   BltFast              {x, y, flags, hasRect, left, top, right, bottom}; surface = source
//   Blt                  {flags, hasDest, dl, dt, dr, db, hasSrc, sl, st, sr, sb, fillColor};
//                        surface = source (may be null)
//   Flip                 {flags}; surface = override
//   SetColorKey          {flags, low, high}     GetColorKey {flags}
//   SetPalette           surface = palette (IDirectDrawPalette*)
//   GetPalette, GetPixelFormat, GetSurfaceDesc, GetCaps {}
//   SetEntries/GetEntries {flags, start, count}; data = entry bytes (SetEntries)
//   EnumDevices          {}
//   CreateDevice         {device type index (DeviceType), or 99 for an unknown GUID}; surface = target;
//                        result = device
//   EnumZBufferFormats   {device type index}
//   EnumTextureFormats   {}
//   SetViewport          viewport = the viewport      GetViewport {}
//   SetRenderState       {state, value}             GetRenderState {state}
//   SetTextureStageState {stage, type, value}       GetTextureStageState {stage, type}
//   SetTexture           {stage}; surface = texture  GetTexture {stage}
//   Clear                {count, flags, color, stencil}; fargs {z}; data = D3DRECT bytes
//   DrawPrimitive        {type, fvf, vertexCount, flags}; data = vertex bytes (stride from fvf)
//   DrawIndexedPrimitive {type, fvf, vertexCount, indexCount, flags}; data = vertex bytes; indices
//   ValidateDevice, GetDirect3D, GetRenderTarget {}
// Every Call carries hr, the value the method returned.
#ifndef KESTRIX_PLATFORM_SIM_H
#define KESTRIX_PLATFORM_SIM_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

// ---- lifecycle --------------------------------------------------------------
// Fresh platform: destroys every simulated object, empties registry, windows,
// recordings and faults, creates a new empty current directory.
void reset();

// ---- recording --------------------------------------------------------------
struct Call {
    std::string name;
    const void *object = nullptr;
    std::vector<unsigned long long> args;
    std::vector<double> fargs;
    HRESULT hr = S_OK;
    const void *source = nullptr;
    const void *result = nullptr;
    DDSURFACEDESC2 desc{};
    D3DVIEWPORT7 viewport{};
    std::vector<unsigned char> data;
    std::vector<WORD> indices;
    std::string text;
};
const std::vector<Call> &calls();
std::vector<Call> callsNamed(const char *name);
// Run before the calls or counters are read (not by reset): a library that collects draws hands them to
// the device first, as a game's own flush would, so what is read is what the game has drawn.
void setBeforeReadingCalls(void (*hook)());
void clearCalls();
void setRecording(bool on);

// Counters kept even with recording off (cheap enough for benchmarks).
struct Counters {
    unsigned long long drawPrimitive = 0;
    unsigned long long drawIndexedPrimitive = 0;
    unsigned long long vertices = 0;
    unsigned long long flips = 0;
};
Counters counters();

// ---- fault injection --------------------------------------------------------
enum class SurfaceRole { Primary, BackBuffer, OffscreenPlain, ZBuffer, Texture, Other };
// The occurrence-th call named `name` (1-based, counted from now) fails with hr;
// occurrence 0 = every call. Windows functions (LoadImageA, CreateCompatibleDC,
// CreateFileA, Reg*) fail in their own way; Reg* return hr as their error code.
void failCall(const char *name, int occurrence, HRESULT hr = DDERR_GENERIC);
// Calls named `name` on a surface of `role` fail (occurrence as above).
void failCallOn(const char *name, SurfaceRole role, HRESULT hr = DDERR_GENERIC, int occurrence = 0);
void clearFaults();

// ---- DirectDraw ---------------------------------------------------------------
struct DisplayMode {
    DWORD width;
    DWORD height;
    DWORD bpp;
    bool changed; // false: the desktop mode (never set, or restored)
};
DisplayMode displayMode();
void setDesktopMode(DWORD width, DWORD height, DWORD bpp);
void setDisplayModeAccepted(std::function<bool(DWORD w, DWORD h, DWORD bpp)> accept);
struct CooperativeLevel {
    HWND hwnd;
    DWORD flags;
    bool set;
};
// The level last set by a DirectDraw object still alive.
CooperativeLevel cooperativeLevel();
CooperativeLevel cooperativeLevelOf(IDirectDraw7 *ddraw);
// One DirectDraw object at a time holds the exclusive level: another asking for it gets
// DDERR_EXCLUSIVEMODEALREADYSET, and its RestoreDisplayMode DDERR_NOEXCLUSIVEMODE, until the holder returns
// to the normal level or is released. Releasing the object whose SetDisplayMode is in force restores the
// desktop's mode.
IDirectDraw7 *exclusiveOwner();
// Runs at the start of every DirectDrawCreateEx (default none), as Wine's DirectDraw loads the system's
// opengl32 there, which may be a game's own driver calling back into the library.
void setDirectDrawCreateHook(std::function<void()> hook);
void setDeviceIdentifier(const char *driver, const char *description, DWORD vendorId, DWORD deviceId);
void setVerticalBlank(BOOL inBlank, HRESULT hr);
void setScanLine(DWORD line, HRESULT hr);
// IDirectDraw7::GetCaps's driver dwCaps2 (default 0: no DDCAPS2_PRIMARYGAMMA).
void setDriverCaps2(DWORD caps2);
// The ramp last given to the primary's IDirectDrawGammaControl::SetGammaRamp; false when none was.
bool gammaRampSet();
const DDGAMMARAMP &gammaRamp();
// Extra bytes added to every new surface's row pitch (default 0), to catch code
// that assumes pitch == width * bytes per pixel.
void setPitchPadding(DWORD bytes);
// GetDisplayMode's refresh rate (default 60; 0 = the driver does not know).
void setRefreshRate(DWORD hz);
// WaitForVerticalBlank's result (default DD_OK), and whether a successful wait moves the clock on to the
// next retrace (default) or returns at once, as Wine's does.
void setWaitForVerticalBlank(HRESULT hr, bool blocks);
// Blt between two RGB formats converts the pixels (default off: DDERR_UNSUPPORTED, as most drivers).
void setFormatConvertingBlt(bool on);
// A surface's blits with a clipper bound to a window write only inside the window's client area; the
// destination rectangle may then reach past the surface.
struct ClipperInfo {
    bool valid = false;
    bool alive = false;
    HWND hwnd = nullptr;
    ULONG refCount = 0;
};
ClipperInfo clipperInfo(IDirectDrawClipper *clipper);
IDirectDrawClipper *clipperOf(IDirectDrawSurface7 *surface);
// New surfaces start cleared to zero (default), or keep whatever their memory held before, as video
// memory does.
void setNewSurfacesCleared(bool cleared);
// Marks every live surface lost (Lock/Blt/BltFast/Flip/GetDC fail with
// DDERR_SURFACELOST until Restore or RestoreAllSurfaces).
void loseSurfaces();

struct SurfaceInfo {
    bool valid = false; // false: not a surface made by the simulation
    bool alive = false; // false: released to zero or reclaimed
    SurfaceRole role = SurfaceRole::Other;
    DWORD width = 0;
    DWORD height = 0;
    DDPIXELFORMAT format{};
    LONG pitch = 0;
    unsigned char *pixels = nullptr;
    bool locked = false;
    bool dcOut = false;
    bool lost = false;
    IDirectDrawPalette *palette = nullptr;
    bool hasSrcBltKey = false;
    DDCOLORKEY srcBltKey{};
    bool hasDestBltKey = false;
    DDCOLORKEY destBltKey{};
    DDSCAPS2 caps{};
    ULONG refCount = 0;
    std::vector<IDirectDrawSurface7 *> attached; // explicitly attached (AddAttachedSurface)
};
SurfaceInfo surfaceInfo(IDirectDrawSurface7 *surface);
SurfaceRole roleOf(IDirectDrawSurface7 *surface);
uint32_t pixel(IDirectDrawSurface7 *surface, int x, int y);
std::vector<IDirectDrawSurface7 *> liveSurfaces();
std::vector<PALETTEENTRY> paletteEntries(IDirectDrawPalette *palette);

// ---- Direct3D 7 ---------------------------------------------------------------
enum class DeviceType { TnLHal, Hal, Mmx, Rgb, Ref };
struct DeviceConfig {
    bool createSucceeds = true;
    HRESULT createError = DDERR_GENERIC;
    std::vector<DDPIXELFORMAT> depthFormats;
    std::vector<DDPIXELFORMAT> textureFormats;
    D3DDEVICEDESC7 caps{};
};
DeviceConfig &deviceConfig(DeviceType type);
DeviceType deviceTypeOf(IDirect3DDevice7 *device);
// The devices not yet released to zero, oldest first.
std::vector<IDirect3DDevice7 *> liveDevices();
DWORD renderState(IDirect3DDevice7 *device, D3DRENDERSTATETYPE state);
DWORD textureStageState(IDirect3DDevice7 *device, DWORD stage, D3DTEXTURESTAGESTATETYPE type);
IDirectDrawSurface7 *boundTexture(IDirect3DDevice7 *device, DWORD stage);
D3DVIEWPORT7 viewport(IDirect3DDevice7 *device);
bool inScene(IDirect3DDevice7 *device);
// DrawPrimitive and DrawIndexedPrimitive of pre-transformed vertices draw into the render target and its
// depth buffer with the device's fixed-function state (default off: the device only records them), so that
// a replayed trace gives pictures.
void setRasterising(bool on);
// Pixel formats used by the default configuration, for tests that build their own.
DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a);
DDPIXELFORMAT depthFormat(DWORD bits, DWORD zMask);

// ---- leak check -------------------------------------------------------------
// Empty when nothing leaked; otherwise one line per problem.
std::string leakReport();

// ---- registry -----------------------------------------------------------------
void createRegistryKey(HKEY root, const char *subkey);
void setRegistryValue(HKEY root, const char *subkey, const char *name, DWORD type,
                      const std::vector<unsigned char> &bytes);
void setRegistryDword(HKEY root, const char *subkey, const char *name, DWORD value);
void setRegistryString(HKEY root, const char *subkey, const char *name, const char *value);
bool registryValue(HKEY root, const char *subkey, const char *name, DWORD *type,
                   std::vector<unsigned char> *bytes);
bool registryKeyExists(HKEY root, const char *subkey);
void denyRegistryKey(HKEY root, const char *subkey, bool denyOpen, bool denyWrite);

// ---- windows, cursor, message boxes ---------------------------------------------
HWND createWindow(const char *title, RECT rect);
// Styles as GetWindowLongA reports them (default 0: no frame, the client area is the whole window). The
// simulated frame: a 4-pixel sizing border with WS_THICKFRAME, else 1 pixel with WS_BORDER or
// WS_DLGFRAME, and a 20-pixel caption with WS_CAPTION.
void setWindowStyle(HWND hwnd, DWORD style, DWORD exStyle);
DWORD windowStyle(HWND hwnd);
RECT clientRect(HWND hwnd); // in screen coordinates
void setWindowIconic(HWND hwnd, bool iconic);
void setWindowVisible(HWND hwnd, bool visible);
// The work area GetMonitorInfoA reports for every window (default: the desktop less 40 pixels at the
// bottom); its monitor rectangle is the desktop.
void setWorkArea(RECT area);
void setActiveWindow(HWND hwnd);
RECT windowRect(HWND hwnd);
struct MoveWindowCall {
    HWND hwnd;
    int x;
    int y;
    int w;
    int h;
    BOOL repaint;
};
std::vector<MoveWindowCall> moveWindowCalls();
// Windows the program created with CreateWindowExA and has not destroyed, and its PeekMessageA calls.
std::vector<HWND> createdWindows();
int messagePumpCount();
POINT cursorPos();
struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
const std::vector<MessageBoxCall> &messageBoxes();
void setMessageBoxResult(int result);

// Dialogs: DialogBoxParamA creates a dialog window, sends WM_INITDIALOG, then runs
// the script (if any), which can drive controls; it returns the EndDialog result
// (or -1 when neither the dialog procedure nor the script ended the dialog).
void setDialogScript(std::function<void(HWND dialog)> script);
// Sends WM_COMMAND (id, notification) to the running dialog's procedure.
INT_PTR dialogCommand(HWND dialog, int id, int notification);
// Sends any other message to the running dialog's procedure, e.g. a trackbar's WM_HSCROLL.
INT_PTR dialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool windowEnabled(HWND hwnd);

// ---- GDI, bitmaps, modules -------------------------------------------------------
HINSTANCE moduleHandle(const char *name); // same handle GetModuleHandleA(name) returns
void registerBitmapResource(HINSTANCE module, const char *name,
                            const std::vector<unsigned char> &bmpFileBytes);
std::vector<unsigned char> makeBmp24(int w, int h, std::function<uint32_t(int x, int y)> rgb,
                                     bool topDown = false);
int liveGdiObjects();

// ---- files --------------------------------------------------------------------
const std::string &currentDirectory();
std::string readFile(const char *name); // resolved like CreateFileA; "" when missing
void writeFile(const char *name, const std::string &contents);
void setFileOpenFails(bool fails);

// ---- kernel -------------------------------------------------------------------
void setOsVersion(bool ntFamily, DWORD major, DWORD minor, DWORD build);
void setTimeStampCounter(std::vector<unsigned long long> readings);
// Sleep records its argument and moves the simulated clock on by that many milliseconds; every
// QueryPerformanceCounter read moves it on by 1000 ticks, so spin loops end.
const std::vector<DWORD> &sleeps();
// The finest timer period timeBeginPeriod had raised at each Sleep, 0 when none.
const std::vector<UINT> &sleepTimerPeriods();
unsigned long long performanceCounter(); // the clock now, without moving it
LONGLONG performanceFrequency();
const std::vector<std::string> &debugOutput();
// VirtualAlloc with MEM_WRITE_WATCH succeeds (default), or fails as on Windows 95, 98 and Me.
void setWriteWatchAvailable(bool available);

} // namespace sim

#endif
