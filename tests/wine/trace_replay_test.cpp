// Records the Glide 3 demo with Trace on, then plays the trace with kestrixreplay.exe into the same library:
// the replay writes the frame the demo's first capture shows as replay/frame-70.png, which
// trace_replay_test.sh compares with that capture.
#include "wine_harness.h"

#include <string>

namespace {

const char *const productKey = settings_store::productKeyPath;
const DWORD waitMilliseconds = 600000;

// The settings the demo makes when it finds none, so that both runs read the same.
bool writeSettings(DWORD trace) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, productKey, &key) != ERROR_SUCCESS) return false;
    const struct {
        const char *name;
        DWORD value;
    } values[] = {{"Antialiasing", 0}, {"Fog", 1},          {"Oversample", 0}, {"ColorDepth", 16},
                  {"ZFast", 0},        {"TripleBuffer", 0}, {"WaveRace", 0},   {"FightingForceFix", 0},
                  {"Filtering", 0},    {"TMU", 0},          {"Trace", trace}};
    for (const auto &v : values)
        RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.value), sizeof(v.value));
    RegCloseKey(key);
    return true;
}

int run(const std::string &commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start %s\n", commandLine.c_str());
        return -1;
    }
    WaitForSingleObject(process.hProcess, waitMilliseconds);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("%s: exit code %lu\n", commandLine.c_str(), static_cast<unsigned long>(code));
    return static_cast<int>(code);
}

} // namespace

int main() {
    DeleteFileA("kestrix-1.gltrace");
    bool ok = writeSettings(1) && run("glide3_demo.exe") == 0;
    // The demo's own exit code file is the runner's: ours replaces it at the end.
    ok = writeSettings(0) && ok;
    ok = kx::file_exists("kestrix-1.gltrace") && ok;
    ok = ok && run("kestrixreplay.exe kestrix-1.gltrace --frames 70-70 --out replay") == 0;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, productKey);
    return kx::finish(ok && kx::file_exists("replay\\frame-70.png") ? 0 : 1);
}
