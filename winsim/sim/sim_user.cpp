// Simulated user32: windows, cursor, message boxes, and a small dialog/control model.
#include "sim/sim_internal.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace sim {
namespace detail {
namespace {

Window *windowOf(HWND h) {
    auto it = world().windows.find(idOf(h));
    return it == world().windows.end() ? nullptr : &it->second;
}

// Dialog items are created on first use: the host has no dialog templates.
HWND dialogItem(HWND dlg, int id) {
    World &w = world();
    if (!windowOf(dlg)) return nullptr;
    for (auto &kv : w.windows)
        if (kv.second.parent == dlg && kv.second.controlId == id) return handleOf<HWND>(kv.first);
    uintptr_t h = newHandle();
    Window c;
    c.parent = dlg;
    c.controlId = id;
    c.rect = RECT{0, 0, 0, 0};
    w.windows[h] = c;
    return handleOf<HWND>(h);
}

} // namespace

RECT windowFrame(DWORD style) {
    LONG border = (style & WS_THICKFRAME) ? 4 : (style & (WS_BORDER | WS_DLGFRAME)) ? 1 : 0;
    LONG caption = (style & WS_CAPTION) == WS_CAPTION ? 20 : 0;
    return RECT{border, border + caption, border, border};
}

RECT clientOnScreen(HWND hwnd) {
    Window *w = windowOf(hwnd);
    if (!w) return RECT{0, 0, 0, 0};
    RECT frame = windowFrame(w->style);
    RECT r{w->rect.left + frame.left, w->rect.top + frame.top, w->rect.right - frame.right,
           w->rect.bottom - frame.bottom};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

} // namespace detail

using namespace detail;

void setWindowStyle(HWND hwnd, DWORD style, DWORD exStyle) {
    Window *w = windowOf(hwnd);
    if (!w) return;
    w->style = style;
    w->exStyle = exStyle;
}

DWORD windowStyle(HWND hwnd) {
    Window *w = windowOf(hwnd);
    return w ? w->style : 0;
}

RECT clientRect(HWND hwnd) {
    return clientOnScreen(hwnd);
}

void setWindowIconic(HWND hwnd, bool iconic) {
    if (Window *w = windowOf(hwnd)) w->iconic = iconic;
}

void setWindowVisible(HWND hwnd, bool visible) {
    if (Window *w = windowOf(hwnd)) w->visible = visible;
}

void setWorkArea(RECT area) {
    world().workArea = area;
    world().workAreaSet = true;
}

HWND createWindow(const char *title, RECT rect) {
    uintptr_t h = newHandle();
    Window w;
    w.title = title ? title : "";
    w.rect = rect;
    world().windows[h] = w;
    return handleOf<HWND>(h);
}

void setActiveWindow(HWND hwnd) {
    world().active = hwnd;
}

RECT windowRect(HWND hwnd) {
    Window *w = windowOf(hwnd);
    return w ? w->rect : RECT{0, 0, 0, 0};
}

std::vector<MoveWindowCall> moveWindowCalls() {
    return world().moves;
}

std::vector<HWND> createdWindows() {
    std::vector<HWND> out;
    for (auto &kv : world().windows)
        if (kv.second.created) out.push_back(handleOf<HWND>(kv.first));
    return out;
}

int messagePumpCount() {
    return world().messagePumps;
}
POINT cursorPos() {
    return world().cursor;
}
const std::vector<MessageBoxCall> &messageBoxes() {
    return world().boxes;
}
void setMessageBoxResult(int result) {
    world().boxResult = result;
}
void setDialogScript(std::function<void(HWND)> script) {
    world().dialogScript = std::move(script);
}

INT_PTR dialogCommand(HWND dialog, int id, int notification) {
    if (!windowOf(dialog)) return 0;
    HWND item = dialogItem(dialog, id);
    return dialogMessage(dialog, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(item));
}

INT_PTR dialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *w = windowOf(dialog);
    if (!w || !w->proc) return 0;
    return w->proc(dialog, message, wParam, lParam);
}

bool windowEnabled(HWND hwnd) {
    Window *w = windowOf(hwnd);
    return w && w->enabled;
}

} // namespace sim

using namespace sim::detail;

extern "C" {

HWND WINAPI GetActiveWindow(void) {
    return world().active;
}
HWND WINAPI GetForegroundWindow(void) {
    return world().active;
}
BOOL WINAPI IsWindow(HWND h) {
    return windowOf(h) != nullptr;
}

int WINAPI GetWindowTextA(HWND h, LPSTR buf, int max) {
    Window *w = windowOf(h);
    if (!w || !buf || max <= 0) return 0;
    int n = std::min(static_cast<int>(w->title.size()), max - 1);
    std::memcpy(buf, w->title.data(), static_cast<size_t>(n));
    buf[n] = '\0';
    return n;
}

BOOL WINAPI SetWindowTextA(HWND h, LPCSTR s) {
    Window *w = windowOf(h);
    if (!w) return FALSE;
    w->title = s ? s : "";
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND h, LPRECT r) {
    Window *w = windowOf(h);
    if (!w || !r) return FALSE;
    *r = w->rect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND h, LPRECT r) {
    Window *w = windowOf(h);
    if (!w || !r) return FALSE;
    RECT client = clientOnScreen(h);
    *r = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND h, LPPOINT p) {
    Window *w = windowOf(h);
    if (!w || !p) return FALSE;
    RECT client = clientOnScreen(h);
    p->x += client.left;
    p->y += client.top;
    return TRUE;
}

LONG WINAPI GetWindowLongA(HWND h, int index) {
    Window *w = windowOf(h);
    if (!w) return 0;
    if (index == GWL_STYLE) return static_cast<LONG>(w->style | (w->visible ? WS_VISIBLE : 0));
    if (index == GWL_EXSTYLE) return static_cast<LONG>(w->exStyle);
    return 0;
}

LONG WINAPI SetWindowLongA(HWND h, int index, LONG value) {
    Window *w = windowOf(h);
    if (recordingOn())
        record("SetWindowLongA", h, w ? S_OK : E_FAIL).args = {static_cast<unsigned long long>(index),
                                                               static_cast<DWORD>(value)};
    if (!w) return 0;
    LONG old = GetWindowLongA(h, index);
    if (index == GWL_STYLE) {
        w->style = static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_VISIBLE);
        w->visible = (static_cast<DWORD>(value) & WS_VISIBLE) != 0;
    } else if (index == GWL_EXSTYLE) {
        w->exStyle = static_cast<DWORD>(value);
    }
    return old;
}

// The frame is the simulation's own (see windowFrame); menus are not drawn.
BOOL WINAPI AdjustWindowRectEx(LPRECT r, DWORD style, BOOL, DWORD) {
    if (!r) return FALSE;
    RECT frame = windowFrame(style);
    r->left -= frame.left;
    r->top -= frame.top;
    r->right += frame.right;
    r->bottom += frame.bottom;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND h, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window *w = windowOf(h);
    if (recordingOn())
        record("SetWindowPos", h, w ? S_OK : E_FAIL).args = {
            static_cast<unsigned long long>(static_cast<long long>(x)),
            static_cast<unsigned long long>(static_cast<long long>(y)),
            static_cast<unsigned long long>(static_cast<long long>(cx)),
            static_cast<unsigned long long>(static_cast<long long>(cy)), flags};
    if (!w) return FALSE;
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    if (!(flags & SWP_NOSIZE)) r.right = r.left + cx, r.bottom = r.top + cy;
    w->rect = r;
    if (flags & SWP_SHOWWINDOW) w->visible = true;
    return TRUE;
}

BOOL WINAPI IsIconic(HWND h) {
    Window *w = windowOf(h);
    return w && w->iconic ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND h) {
    Window *w = windowOf(h);
    return w && w->visible ? TRUE : FALSE;
}

// One monitor: the desktop.
HMONITOR WINAPI MonitorFromWindow(HWND, DWORD) {
    return handleOf<HMONITOR>(0x4D4F4EU);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
    World &w = world();
    if (monitor != handleOf<HMONITOR>(0x4D4F4EU) || !info || info->cbSize != sizeof(MONITORINFO))
        return FALSE;
    LONG width = static_cast<LONG>(w.desktop.width), height = static_cast<LONG>(w.desktop.height);
    info->rcMonitor = RECT{0, 0, width, height};
    info->rcWork = w.workAreaSet ? w.workArea : RECT{0, 0, width, height - 40};
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND h) {
    const bool known = windowOf(h) != nullptr;
    if (recordingOn()) record("UpdateWindow", h, known ? S_OK : E_FAIL);
    return known ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND h, int x, int y, int cx, int cy, BOOL repaint) {
    Window *w = windowOf(h);
    world().moves.push_back(sim::MoveWindowCall{h, x, y, cx, cy, repaint});
    if (!w) return FALSE;
    w->rect = RECT{x, y, x + cx, y + cy};
    return TRUE;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA *c) {
    if (!c || !c->lpszClassName || !c->lpfnWndProc) return 0;
    World &w = world();
    if (w.classes.count(c->lpszClassName)) return 0;
    w.classes[c->lpszClassName] = c->lpfnWndProc;
    return static_cast<ATOM>(w.classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE) {
    World &w = world();
    if (!name || !w.classes.count(name)) return FALSE;
    for (auto &kv : w.windows)
        if (kv.second.created && kv.second.className == name) return FALSE; // still in use
    w.classes.erase(name);
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int cx, int cy,
                            HWND, HMENU, HINSTANCE, LPVOID) {
    World &w = world();
    if (!className || !w.classes.count(className)) return nullptr;
    HWND h = sim::createWindow(title, RECT{x, y, x + cx, y + cy});
    Window *win = windowOf(h);
    win->created = true;
    win->className = className;
    win->visible = (style & WS_VISIBLE) != 0;
    win->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    return h;
}

BOOL WINAPI DestroyWindow(HWND h) {
    World &w = world();
    Window *win = windowOf(h);
    if (!win || !win->created) return FALSE;
    if (w.active == h) w.active = nullptr;
    w.windows.erase(idOf(h));
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// The simulated queue is always empty.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT) {
    ++world().messagePumps;
    if (msg) std::memset(msg, 0, sizeof(*msg));
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG *) {
    return 0;
}

// A mode given takes the fields it names over the current mode; no mode returns to the desktop's.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA *mode, DWORD flags) {
    World &w = world();
    sim::DisplayMode wanted = w.desktop;
    LONG result = DISP_CHANGE_SUCCESSFUL;
    if (mode != nullptr) {
        wanted = w.mode;
        if (mode->dmFields & DM_PELSWIDTH) wanted.width = mode->dmPelsWidth;
        if (mode->dmFields & DM_PELSHEIGHT) wanted.height = mode->dmPelsHeight;
        if (mode->dmFields & DM_BITSPERPEL) wanted.bpp = mode->dmBitsPerPel;
        wanted.changed = wanted.width != w.desktop.width || wanted.height != w.desktop.height ||
                         wanted.bpp != w.desktop.bpp;
        if (w.acceptMode && !w.acceptMode(wanted.width, wanted.height, wanted.bpp))
            result = DISP_CHANGE_BADMODE;
    }
    if (result == DISP_CHANGE_SUCCESSFUL) {
        if (wanted.width != w.mode.width || wanted.height != w.mode.height || wanted.bpp != w.mode.bpp)
            sim::detail::loseAllSurfaces();
        w.mode = wanted;
        w.modeOwner = nullptr;
    }
    if (recordingOn()) {
        sim::Call &call = record("ChangeDisplaySettingsA", nullptr, result);
        call.args = {mode != nullptr, static_cast<unsigned long long>(flags)};
        if (mode != nullptr) call.args.insert(call.args.end(), {wanted.width, wanted.height, wanted.bpp});
    }
    return result;
}

BOOL WINAPI EnumDisplaySettingsA(LPCSTR, DWORD modeNumber, DEVMODEA *mode) {
    World &w = world();
    if (mode == nullptr || (modeNumber != ENUM_CURRENT_SETTINGS && modeNumber != ENUM_REGISTRY_SETTINGS))
        return FALSE;
    const sim::DisplayMode &m = modeNumber == ENUM_CURRENT_SETTINGS ? w.mode : w.desktop;
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode->dmBitsPerPel = m.bpp;
    mode->dmPelsWidth = m.width;
    mode->dmPelsHeight = m.height;
    mode->dmDisplayFrequency = w.refreshRate;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    world().cursor = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT p) {
    if (!p) return FALSE;
    *p = world().cursor;
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    return world().cursorCount += show ? 1 : -1;
}

int WINAPI GetSystemMetrics(int index) {
    const sim::DisplayMode &m = world().mode;
    if (index == 0) return static_cast<int>(m.width);  // SM_CXSCREEN
    if (index == 1) return static_cast<int>(m.height); // SM_CYSCREEN
    return 0;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    World &w = world();
    w.boxes.push_back(sim::MessageBoxCall{owner, text ? text : "", caption ? caption : "Error", type});
    return w.boxResult;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR, HWND parent, DLGPROC proc, LPARAM param) {
    if (!proc) return -1;
    HWND dlg = sim::createWindow("dialog", RECT{0, 0, 400, 300});
    Window *w = windowOf(dlg);
    w->parent = parent;
    w->proc = proc;
    proc(dlg, WM_INITDIALOG, 0, param);
    // Copy: the script may replace itself.
    std::function<void(HWND)> script = world().dialogScript;
    if (!windowOf(dlg)->ended && script) script(dlg);
    Window *after = windowOf(dlg);
    INT_PTR result = after->ended ? after->endResult : -1;
    // The dialog and its controls go away when DialogBoxParamA returns.
    World &wd = world();
    for (auto it = wd.windows.begin(); it != wd.windows.end();) {
        if (it->second.parent == dlg || it->first == idOf(dlg)) {
            it = wd.windows.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

BOOL WINAPI EndDialog(HWND dlg, INT_PTR result) {
    Window *w = windowOf(dlg);
    if (!w) return FALSE;
    w->ended = true;
    w->endResult = result;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dlg, int id) {
    return dialogItem(dlg, id);
}

LRESULT WINAPI SendMessageA(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window *w = windowOf(h);
    if (!w) return 0;
    switch (msg) {
    case BM_GETCHECK:
        return w->check;
    case BM_SETCHECK:
        w->check = static_cast<UINT>(wp);
        return 0;
    case TBM_GETPOS:
        return w->trackPos;
    case TBM_SETPOS:
        w->trackPos = std::min(std::max(static_cast<LRESULT>(lp), w->trackMin), w->trackMax);
        return 0;
    case TBM_SETRANGE:
        w->trackMin = LOWORD(lp);
        w->trackMax = HIWORD(lp);
        return 0;
    case TBM_SETRANGEMIN:
        w->trackMin = lp;
        return 0;
    case TBM_SETRANGEMAX:
        w->trackMax = lp;
        return 0;
    case TBM_GETRANGEMIN:
        return w->trackMin;
    case TBM_GETRANGEMAX:
        return w->trackMax;
    case CB_ADDSTRING:
        w->items.push_back(lp ? reinterpret_cast<const char *>(lp) : "");
        w->itemData.push_back(0);
        return static_cast<LRESULT>(w->items.size() - 1);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(w->items.size());
    case CB_RESETCONTENT:
        w->items.clear();
        w->itemData.clear();
        w->curSel = CB_ERR;
        return 0;
    case CB_GETCURSEL:
        return w->curSel;
    case CB_SETCURSEL:
        if (wp >= w->items.size()) {
            w->curSel = CB_ERR;
            return CB_ERR;
        }
        w->curSel = static_cast<LRESULT>(wp);
        return w->curSel;
    case CB_SETITEMDATA:
        if (wp >= w->items.size()) return CB_ERR;
        w->itemData[wp] = lp;
        return 0;
    case CB_GETITEMDATA:
        if (wp >= w->items.size()) return CB_ERR;
        return w->itemData[wp];
    case CB_GETLBTEXTLEN:
        if (wp >= w->items.size()) return CB_ERR;
        return static_cast<LRESULT>(w->items[wp].size());
    case CB_GETLBTEXT:
        if (wp >= w->items.size() || !lp) return CB_ERR;
        std::strcpy(reinterpret_cast<char *>(lp), w->items[wp].c_str());
        return static_cast<LRESULT>(w->items[wp].size());
    case WM_SETTEXT:
        w->title = lp ? reinterpret_cast<const char *>(lp) : "";
        return TRUE;
    default:
        return 0;
    }
}

LRESULT WINAPI SendDlgItemMessageA(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
    return SendMessageA(dialogItem(dlg, id), msg, wp, lp);
}

BOOL WINAPI EnableWindow(HWND h, BOOL enable) {
    Window *w = windowOf(h);
    if (!w) return FALSE;
    bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND h, int cmd) {
    Window *w = windowOf(h);
    if (!w) return FALSE;
    bool was = w->visible;
    w->visible = cmd != SW_HIDE;
    return was;
}

BOOL WINAPI CheckDlgButton(HWND dlg, int id, UINT check) {
    SendMessageA(dialogItem(dlg, id), BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dlg, int id) {
    return static_cast<UINT>(SendMessageA(dialogItem(dlg, id), BM_GETCHECK, 0, 0));
}

BOOL WINAPI SetDlgItemTextA(HWND dlg, int id, LPCSTR s) {
    return SetWindowTextA(dialogItem(dlg, id), s);
}

UINT WINAPI GetDlgItemTextA(HWND dlg, int id, LPSTR buf, int max) {
    return static_cast<UINT>(GetWindowTextA(dialogItem(dlg, id), buf, max));
}

void WINAPI InitCommonControls(void) {}

} // extern "C"
