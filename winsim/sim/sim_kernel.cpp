// Simulated kernel32 and advapi32: version, time-stamp counter, sleeps, debug
// output, real files in the per-reset directory, and an in-memory registry.
#include "sim/sim_internal.h"

#include <intrin.h>
#include <algorithm>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {
namespace detail {
namespace {

std::string rootName(HKEY root) {
    uintptr_t v = idOf(root);
    if (v == idOf(HKEY_CLASSES_ROOT)) return "hkey_classes_root";
    if (v == idOf(HKEY_CURRENT_USER)) return "hkey_current_user";
    if (v == idOf(HKEY_LOCAL_MACHINE)) return "hkey_local_machine";
    if (v == idOf(HKEY_USERS)) return "hkey_users";
    if (v == idOf(HKEY_CURRENT_CONFIG)) return "hkey_current_config";
    return std::string();
}

// Normalised key path: lower case, single backslashes, no leading or trailing one.
std::string joinPath(const std::string &base, const char *sub) {
    std::string out = base;
    std::string s = sub ? lower(sub) : std::string();
    std::string part;
    auto flush = [&]() {
        if (!part.empty()) out += "\\" + part;
        part.clear();
    };
    for (char c : s) {
        if (c == '\\' || c == '/') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return out;
}

// The path a handle (predefined root or opened key) stands for, or "" if invalid.
std::string keyPath(HKEY key, bool *writable) {
    std::string r = rootName(key);
    if (!r.empty()) {
        if (writable) *writable = true;
        return r;
    }
    auto it = world().openKeys.find(idOf(key));
    if (it == world().openKeys.end()) return std::string();
    if (writable) *writable = it->second.writable;
    return it->second.path;
}

// Creates the key and its parents.
RegKey &makeKey(const std::string &path) {
    World &w = world();
    size_t pos = path.find('\\');
    while (pos != std::string::npos) {
        w.keys[path.substr(0, pos)];
        pos = path.find('\\', pos + 1);
    }
    return w.keys[path];
}

HKEY openHandle(const std::string &path, bool writable) {
    uintptr_t id = newHandle();
    world().openKeys[id] = OpenKey{path, writable};
    return handleOf<HKEY>(id);
}

} // namespace

std::string leakReportWindows();

void advanceClock(unsigned long long ticks) {
    world().qpc += ticks;
}

} // namespace detail

using namespace detail;

unsigned long long performanceCounter() {
    return world().qpc;
}

LONGLONG performanceFrequency() {
    return static_cast<LONGLONG>(clockFrequency);
}

void createRegistryKey(HKEY root, const char *subkey) {
    makeKey(joinPath(rootName(root), subkey));
}

void setRegistryValue(HKEY root, const char *subkey, const char *name, DWORD type,
                      const std::vector<unsigned char> &bytes) {
    makeKey(joinPath(rootName(root), subkey)).values[lower(name ? name : "")] = RegValue{type, bytes};
}

void setRegistryDword(HKEY root, const char *subkey, const char *name, DWORD value) {
    std::vector<unsigned char> b(4);
    std::memcpy(b.data(), &value, 4);
    setRegistryValue(root, subkey, name, REG_DWORD, b);
}

void setRegistryString(HKEY root, const char *subkey, const char *name, const char *value) {
    std::vector<unsigned char> b(value, value + std::strlen(value) + 1);
    setRegistryValue(root, subkey, name, REG_SZ, b);
}

bool registryValue(HKEY root, const char *subkey, const char *name, DWORD *type,
                   std::vector<unsigned char> *bytes) {
    World &w = world();
    auto k = w.keys.find(joinPath(rootName(root), subkey));
    if (k == w.keys.end()) return false;
    auto v = k->second.values.find(lower(name ? name : ""));
    if (v == k->second.values.end()) return false;
    if (type) *type = v->second.type;
    if (bytes) *bytes = v->second.bytes;
    return true;
}

bool registryKeyExists(HKEY root, const char *subkey) {
    return world().keys.count(joinPath(rootName(root), subkey)) != 0;
}

void denyRegistryKey(HKEY root, const char *subkey, bool denyOpen, bool denyWrite) {
    RegKey &k = makeKey(joinPath(rootName(root), subkey));
    k.denyOpen = denyOpen;
    k.denyWrite = denyWrite;
}

const std::string &currentDirectory() {
    return world().cwd;
}

std::string readFile(const char *name) {
    std::ifstream in(resolvePath(name), std::ios::binary);
    if (!in) return std::string();
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const char *name, const std::string &contents) {
    std::string path = resolvePath(name);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

void setFileOpenFails(bool fails) {
    world().fileOpenFails = fails;
}

void setOsVersion(bool ntFamily, DWORD major, DWORD minor, DWORD build) {
    OSVERSIONINFOA &os = world().os;
    os.dwMajorVersion = major;
    os.dwMinorVersion = minor;
    os.dwPlatformId = ntFamily ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
    // Windows 95/98/Me keep the major and minor version in the build number's high
    // word (e.g. 0x040A08AE for 4.10.2222); only the low word is the build.
    os.dwBuildNumber = ntFamily ? build : ((major & 0xFF) << 24) | ((minor & 0xFF) << 16) | (build & 0xFFFF);
    std::strcpy(os.szCSDVersion, ntFamily ? "" : " A ");
}

void setTimeStampCounter(std::vector<unsigned long long> readings) {
    world().tsc = std::move(readings);
    world().tscNext = 0;
}

const std::vector<DWORD> &sleeps() {
    return world().sleeps;
}
const std::vector<UINT> &sleepTimerPeriods() {
    return world().sleepTimerPeriods;
}
const std::vector<std::string> &debugOutput() {
    return world().debug;
}

} // namespace sim

using namespace sim::detail;

extern "C" {

unsigned long long __rdtsc(void) {
    World &w = world();
    if (w.tscNext < w.tsc.size()) {
        w.tscLast = w.tsc[w.tscNext++];
    } else {
        w.tscLast += 1;
    }
    return w.tscLast;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        world().lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    *info = world().os;
    info->dwOSVersionInfoSize = size;
    return TRUE;
}

void WINAPI Sleep(DWORD ms) {
    World &w = world();
    w.sleeps.push_back(ms);
    w.sleepTimerPeriods.push_back(
        w.timerPeriods.empty() ? 0 : *std::min_element(w.timerPeriods.begin(), w.timerPeriods.end()));
    advanceClock(static_cast<unsigned long long>(ms) * clockFrequency / 1000);
}
void WINAPI OutputDebugStringA(LPCSTR s) {
    world().debug.push_back(s ? s : "");
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    if (period == 0) return TIMERR_NOCANDO;
    world().timerPeriods.push_back(period);
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
    std::vector<UINT> &raised = world().timerPeriods;
    std::vector<UINT>::iterator it = std::find(raised.begin(), raised.end(), period);
    if (it == raised.end()) return TIMERR_NOCANDO;
    raised.erase(it);
    return TIMERR_NOERROR;
}

DWORD WINAPI GetTickCount(void) {
    return world().ticks += 1;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *c) {
    if (!c) return FALSE;
    c->QuadPart = static_cast<LONGLONG>(world().qpc += 1000);
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *f) {
    if (!f) return FALSE;
    f->QuadPart = static_cast<LONGLONG>(clockFrequency);
    return TRUE;
}

DWORD WINAPI GetLastError(void) {
    return world().lastError;
}
void WINAPI SetLastError(DWORD e) {
    world().lastError = e;
}

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                          HANDLE) {
    World &w = world();
    if (checkFault("CreateFileA") != S_OK || w.fileOpenFails || !name) {
        w.lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    std::string path = resolvePath(name);
    bool write = (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
    bool read = (access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
    int flags = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    bool exists = ::access(path.c_str(), F_OK) == 0;
    switch (disposition) {
    case CREATE_NEW:
        if (exists) {
            w.lastError = ERROR_FILE_EXISTS;
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_CREAT;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        w.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    if (!exists && !(flags & O_CREAT)) {
        w.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        w.lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    // FILE_APPEND_DATA without the plain write right makes every write go to the end.
    bool append = (access & FILE_APPEND_DATA) && !(access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA));
    uintptr_t id = newHandle();
    w.files[id] = OpenFile{fd, append, path};
    w.lastError =
        (exists && (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS)) ? ERROR_ALREADY_EXISTS : 0;
    return handleOf<HANDLE>(id);
}

BOOL WINAPI WriteFile(HANDLE h, LPCVOID buf, DWORD n, LPDWORD written, LPOVERLAPPED) {
    World &w = world();
    auto it = w.files.find(idOf(h));
    if (written) *written = 0;
    if (it == w.files.end() || (!buf && n)) {
        w.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (it->second.append) ::lseek(it->second.fd, 0, SEEK_END);
    ssize_t r = n ? ::write(it->second.fd, buf, n) : 0;
    if (r < 0) return FALSE;
    if (written) *written = static_cast<DWORD>(r);
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED) {
    World &w = world();
    auto it = w.files.find(idOf(h));
    if (got) *got = 0;
    if (it == w.files.end() || (!buf && n)) {
        w.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    ssize_t r = n ? ::read(it->second.fd, buf, n) : 0;
    if (r < 0) return FALSE;
    if (got) *got = static_cast<DWORD>(r);
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE h, LONG dist, PLONG high, DWORD method) {
    World &w = world();
    auto it = w.files.find(idOf(h));
    if (it == w.files.end()) {
        w.lastError = ERROR_INVALID_HANDLE;
        return INVALID_SET_FILE_POINTER;
    }
    long long off = high ? ((static_cast<long long>(*high) << 32) | static_cast<DWORD>(dist)) : dist;
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(it->second.fd, static_cast<off_t>(off), whence);
    if (r < 0) {
        w.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    if (high) *high = static_cast<LONG>(static_cast<unsigned long long>(r) >> 32);
    return static_cast<DWORD>(r);
}

DWORD WINAPI GetFileSize(HANDLE h, LPDWORD high) {
    auto it = world().files.find(idOf(h));
    if (it == world().files.end()) return INVALID_FILE_SIZE;
    struct stat st;
    if (::fstat(it->second.fd, &st) != 0) return INVALID_FILE_SIZE;
    if (high) *high = static_cast<DWORD>(static_cast<unsigned long long>(st.st_size) >> 32);
    return static_cast<DWORD>(st.st_size);
}

BOOL WINAPI CloseHandle(HANDLE h) {
    World &w = world();
    auto it = w.files.find(idOf(h));
    if (it == w.files.end()) {
        w.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    ::close(it->second.fd);
    w.files.erase(it);
    return TRUE;
}

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR sub, DWORD, REGSAM sam, PHKEY out) {
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = nullptr;
    if (HRESULT f = checkFault("RegOpenKeyExA")) return f;
    std::string base = keyPath(hKey, nullptr);
    if (base.empty()) return ERROR_INVALID_HANDLE;
    std::string path = joinPath(base, sub);
    World &w = world();
    auto it = w.keys.find(path);
    if (it == w.keys.end()) return ERROR_FILE_NOT_FOUND;
    bool wantWrite = (sam & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
    if (it->second.denyOpen || (wantWrite && it->second.denyWrite)) return ERROR_ACCESS_DENIED;
    *out = openHandle(path, wantWrite);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyA(HKEY hKey, LPCSTR sub, PHKEY out) {
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = nullptr;
    if (HRESULT f = checkFault("RegCreateKeyA")) return f;
    std::string base = keyPath(hKey, nullptr);
    if (base.empty()) return ERROR_INVALID_HANDLE;
    std::string path = joinPath(base, sub);
    World &w = world();
    auto it = w.keys.find(path);
    if (it != w.keys.end()) {
        if (it->second.denyOpen || it->second.denyWrite) return ERROR_ACCESS_DENIED;
    } else {
        // Creating a subkey needs write access to the nearest existing parent.
        std::string parent = path;
        while (true) {
            size_t pos = parent.rfind('\\');
            if (pos == std::string::npos) break;
            parent.resize(pos);
            auto p = w.keys.find(parent);
            if (p != w.keys.end()) {
                if (p->second.denyWrite || p->second.denyOpen) return ERROR_ACCESS_DENIED;
                break;
            }
        }
        makeKey(path);
    }
    *out = openHandle(path, true);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                             LPDWORD cb) {
    if (HRESULT f = checkFault("RegQueryValueExA")) return f;
    if (reserved || (data && !cb)) return ERROR_INVALID_PARAMETER;
    std::string path = keyPath(hKey, nullptr);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    World &w = world();
    auto k = w.keys.find(path);
    if (k == w.keys.end()) return ERROR_FILE_NOT_FOUND;
    auto v = k->second.values.find(lower(name ? name : ""));
    if (v == k->second.values.end()) return ERROR_FILE_NOT_FOUND;
    const RegValue &val = v->second;
    DWORD need = static_cast<DWORD>(val.bytes.size());
    if (type) *type = val.type;
    if (!data) {
        if (cb) *cb = need;
        return ERROR_SUCCESS;
    }
    if (*cb < need) {
        *cb = need;
        return ERROR_MORE_DATA;
    }
    if (need) std::memcpy(data, val.bytes.data(), need);
    *cb = need;
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR name, DWORD, DWORD type, const BYTE *data, DWORD cb) {
    if (HRESULT f = checkFault("RegSetValueExA")) return f;
    bool writable = false;
    std::string path = keyPath(hKey, &writable);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if (!data && cb) return ERROR_INVALID_PARAMETER;
    World &w = world();
    RegKey &k = makeKey(path);
    if (!writable || k.denyWrite) return ERROR_ACCESS_DENIED;
    (void)w;
    k.values[lower(name ? name : "")] = RegValue{type, std::vector<unsigned char>(data, data + cb)};
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    if (!rootName(hKey).empty()) return ERROR_SUCCESS;
    return world().openKeys.erase(idOf(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // extern "C"
