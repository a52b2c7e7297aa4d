// Plays a user of kestrixcfg.exe under Wine: seeds the registry, starts the program, finds its dialogs
// by caption, works the controls with real window messages, has both dialogs captured, presses Ok and
// checks what the program wrote into the registry.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "wine_harness.h"

namespace {

const char *const storeKey = settings_store::productKeyPath;
const char *const gameKeys[] = {
    "Software\\EA SPORTS\\FIFA 98",
    "Software\\EA SPORTS\\FIFA 98 Demo",
    "Software\\EA SPORTS\\FIFA 99",
    "Software\\EA SPORTS\\FIFA 99 Demo",
    "Software\\EA SPORTS\\FIFA 2000",
    "Software\\EA SPORTS\\FIFA 2000 Demo",
    "Software\\EA SPORTS\\FIFA 2001",
    "Software\\EA SPORTS\\FIFA 2001 Demo",
    "Software\\EA SPORTS\\FIFA 2002",
    "Software\\EA SPORTS\\FIFA 2002 Demo",
    "Software\\EA SPORTS\\NBA Live 98",
    "Software\\EA SPORTS\\NBA Live 98 Demo",
    "Software\\EA SPORTS\\NBA Live 99",
    "Software\\EA SPORTS\\NBA Live 99 Demo",
    "Software\\EA SPORTS\\NBA Live 2000",
    "Software\\EA SPORTS\\NBA Live 2000 Demo",
    "Software\\EA SPORTS\\NBA Live 2001",
    "Software\\EA SPORTS\\NBA Live 2001 Demo",
    "Software\\EA SPORTS\\NBA Live 2002",
    "Software\\EA SPORTS\\NBA Live 2002 Demo",
    "Software\\Electronic Arts\\Need For Speed High Stakes",
};

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

void setDword(const char *name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, storeKey, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegCloseKey(key);
}

void setDriver(const char *path, const char *text) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, "Thrash Driver", 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
}

// -1 when missing or not a 4-byte REG_DWORD.
long long storeDword(const char *name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD && size == 4 ? static_cast<long long>(value) : -1;
}

// The text stored, "<missing>", or the type marked for non-strings, read through the wide API so that
// stored zeros show ("+zero"). kestrixcfg passes the length of the characters only, but NT's
// RegSetValueExA (and Wine's) counts a zero that directly follows the given bytes, so one terminating zero
// is dropped here; the host tests check the exact bytes the program passes.
std::string driver(const char *path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
    wchar_t text[300] = {};
    DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
    LONG rc = RegQueryValueExW(key, L"Thrash Driver", nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return "<missing>";
    if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
    std::string out;
    for (DWORD i = 0; i < size / sizeof(wchar_t); ++i)
        if (text[i])
            out += static_cast<char>(text[i]);
        else
            out += "+zero";
    const std::string zero = "+zero";
    if (out.size() >= zero.size() && out.compare(out.size() - zero.size(), zero.size(), zero) == 0)
        out.resize(out.size() - zero.size());
    return out;
}

HWND waitForWindow(const char *caption, DWORD ms) {
    DWORD start = GetTickCount();
    do {
        HWND w = FindWindowA(nullptr, caption);
        if (w && IsWindowVisible(w)) return w;
        kx::pump(100);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

bool waitGone(HWND w, DWORD ms) {
    DWORD start = GetTickCount();
    while (IsWindow(w)) {
        if (GetTickCount() - start > ms) return false;
        kx::pump(50);
    }
    return true;
}

bool isChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
LRESULT selection(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0);
}
bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    kx::pump(100);
}
// Posted: the click opens or ends a modal loop in the other process, and must not block this one.
void postClick(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
std::string text(HWND dialog, int id) {
    char buffer[64] = {};
    GetWindowTextA(GetDlgItem(dialog, id), buffer, sizeof(buffer));
    return buffer;
}
// A key on the trackbar moves it one step, and the trackbar tells the dialog through WM_HSCROLL.
void stepRight(HWND dialog, int id) {
    HWND slider = GetDlgItem(dialog, id);
    SendMessageA(slider, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(slider, WM_KEYUP, VK_RIGHT, 0);
    kx::pump(100);
}
void choose(HWND dialog, int id, int item) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    kx::pump(100);
}

int run() {
    // A known registry: the prefix is shared by every Wine test run.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
    for (const char *key : gameKeys)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    setDword("ColorDepth", 24);
    setDword("Fog", 0);
    setDword("TMU", 1);
    setDriver("Software\\EA SPORTS\\FIFA 99", "VoOdOo2");
    setDriver("Software\\EA SPORTS\\FIFA 2000 Demo", "voodoo");
    setDriver("Software\\EA SPORTS\\FIFA 2000", "dx");

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    char command[] = "kestrixcfg.exe";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("FAIL: cannot start kestrixcfg.exe (error %lu)\n", GetLastError());
        return 1;
    }
    WaitForInputIdle(process.hProcess, 30000);

    HWND settings = waitForWindow("Kestrix XP", 60000);
    check(settings != nullptr, "the settings dialog appears with the caption \"Kestrix XP\"");
    if (!settings) {
        TerminateProcess(process.hProcess, 99);
        return 1;
    }
    SetForegroundWindow(settings);
    kx::pump(300);

    check(selection(settings, 1020) == 1, "ColorDepth 24 shows \"True Color (32 bits)\"");
    check(!isChecked(settings, 1013), "Fog 0 shows unchecked");
    check(isChecked(settings, 1018), "no Filtering value: \"Texture filtering\" checked");
    check(isChecked(settings, 1019) && !IsWindowVisible(GetDlgItem(settings, 1019)),
          "TMU 1: the hidden multitexture box is checked");
    check(!enabled(settings, 3), "Apply starts disabled");
    check(isChecked(settings, 1010) && enabled(settings, 1010) && !enabled(settings, 1000),
          "no Windowed value: \"Fullscreen\" checked, the trackbar greyed");
    check(text(settings, 1022) == "1x" && selection(settings, 1021) == 0,
          "no WindowScale or FramePacing value: \"1x\" and \"Off\"");
    kx::request_capture("kestrixcfg_settings", {}, 60000);

    click(settings, 1010);
    check(enabled(settings, 1000) && enabled(settings, 1022),
          "unchecking \"Fullscreen\" enables the trackbar");
    stepRight(settings, 1000);
    stepRight(settings, 1000);
    check(text(settings, 1022) == "3x", "two steps right on the trackbar show \"3x\"");
    choose(settings, 1021, 2);
    kx::request_capture("kestrixcfg_windowed", {}, 60000);

    click(settings, 1013);
    check(isChecked(settings, 1013) && enabled(settings, 3), "clicking Fog checks it and enables Apply");
    choose(settings, 1020, 0);
    click(settings, 3);
    check(!enabled(settings, 3), "Apply turns itself off");
    check(storeDword("ColorDepth") == 16 && storeDword("Fog") == 1, "Apply stored ColorDepth 16 and Fog 1");
    check(storeDword("Windowed") == 1 && storeDword("WindowScale") == 3 && storeDword("FramePacing") == 2,
          "Apply stored Windowed 1, WindowScale 3 and FramePacing 2");

    postClick(settings, 100);
    HWND games = waitForWindow("Kestrix XP (Game Patching)", 30000);
    check(games != nullptr, "the game patching dialog appears");
    if (games) {
        kx::pump(300);
        check(selection(games, 2001) == 2, "FIFA 99 \"VoOdOo2\" shows \"Voodoo 2 (Glide 3.x)\"");
        check(selection(games, 2002) == 0,
              "FIFA 2000: the main key's \"dx\" wins over the demo's \"voodoo\"");
        check(selection(games, 2000) == 0, "FIFA 98, not installed, shows \"DirectX\"");
        check(!enabled(games, 3), "game patching Apply starts disabled");
        kx::request_capture("kestrixcfg_game_patching", {}, 60000);
        choose(games, 2010, 1);
        check(enabled(games, 3), "a selection change enables Apply");
        postClick(games, 1);
        check(waitGone(games, 30000), "Ok closes the game patching dialog");
        kx::pump(300);
    }
    check(enabled(settings, 3), "back from game patching, Apply is enabled");

    postClick(settings, 1);
    DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    check(waited == WAIT_OBJECT_0 && code == 1, "Ok ends the program with exit code 1");
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const struct {
        const char *name;
        long long value;
    } stored[] = {{"Antialiasing", 1}, {"Fog", 1},          {"Oversample", 0},       {"ColorDepth", 16},
                  {"ZFast", 1},        {"TripleBuffer", 1}, {"FightingForceFix", 0}, {"WaveRace", 0},
                  {"Filtering", 0},    {"TMU", 1},          {"Windowed", 1},         {"WindowScale", 3},
                  {"FramePacing", 2}};
    for (const auto &s : stored) {
        char what[96];
        std::snprintf(what, sizeof what, "stored %s = %lld (read %lld)", s.name, s.value, storeDword(s.name));
        check(storeDword(s.name) == s.value, what);
    }
    int dx = 0;
    for (const char *key : gameKeys) {
        std::printf("  %s: %s\n", key, driver(key).c_str());
        if (driver(key) == "dx") ++dx;
    }
    check(dx == 18, "18 game keys hold \"dx\"");
    check(driver("Software\\EA SPORTS\\FIFA 99") == "voodoo2" &&
              driver("Software\\EA SPORTS\\FIFA 99 Demo") == "voodoo2",
          "FIFA 99 and its demo hold \"voodoo2\"");
    check(driver("Software\\Electronic Arts\\Need For Speed High Stakes") == "voodoo",
          "Need For Speed IV holds \"voodoo\"");
    check(driver("Software\\Electronic Arts\\Need For Speed High Stakes Demo") == "<missing>",
          "Need For Speed IV has no demo key");
    return failures ? 1 : 0;
}

} // namespace

// The prefix is shared by every Wine test: leave no store or game keys behind for the tests after this one.
void forgetWrittenKeys() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
    for (const char *key : gameKeys)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

int main() {
    int code = run();
    forgetWrittenKeys();
    std::printf("%d failed checks\n", failures);
    return kx::finish(code);
}
