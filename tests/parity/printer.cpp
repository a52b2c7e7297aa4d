// Prints every constant, GUID, struct size and field offset that the stand-in
// headers declare, one "NAME value" line each. Built against the stand-ins on the
// host and against the real headers for Windows; the two outputs must match.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <type_traits>

namespace {

// Values are compared as numbers: a constant that fits in 32 bits prints the same
// whether a header types it int, long or DWORD (LP64 host vs LLP64 Windows).
std::string number(long long signedValue, unsigned long long rawValue) {
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase;
    if (signedValue >= INT32_MIN && signedValue <= static_cast<long long>(UINT32_MAX)) {
        s << std::setw(8) << std::setfill('0') << static_cast<uint32_t>(signedValue);
    } else {
        s << std::setw(16) << std::setfill('0') << rawValue;
    }
    return s.str();
}

template <typename T>
typename std::enable_if<std::is_integral<T>::value || std::is_enum<T>::value>::type put(const char *name,
                                                                                        T value) {
    using U = typename std::conditional<std::is_enum<T>::value, std::underlying_type<T>,
                                        std::common_type<T>>::type::type;
    U v = static_cast<U>(value);
    long long s = std::is_signed<U>::value ? static_cast<long long>(v)
                                           : static_cast<long long>(static_cast<unsigned long long>(v));
    if (!std::is_signed<U>::value &&
        static_cast<unsigned long long>(v) > static_cast<unsigned long long>(INT64_MAX))
        s = INT64_MAX; // forces the 64-bit form
    std::cout << name << ' ' << number(s, static_cast<unsigned long long>(v)) << '\n';
}

template <typename T> void put(const char *name, T *pointer) {
    std::cout << name << " pointer " << number(INT64_MAX, reinterpret_cast<uintptr_t>(pointer)) << '\n';
}

void put(const char *name, const char *text) {
    std::cout << name << " \"" << text << "\"\n";
}

void putGuid(const char *name, const GUID &g) {
    std::ostringstream s;
    s << std::hex << std::uppercase << std::setfill('0') << '{' << std::setw(8) << g.Data1 << '-'
      << std::setw(4) << g.Data2 << '-' << std::setw(4) << g.Data3 << '-';
    for (int i = 0; i < 8; ++i) {
        s << std::setw(2) << static_cast<unsigned>(g.Data4[i]);
        if (i == 1) s << '-';
    }
    s << '}';
    std::cout << name << ' ' << s.str() << '\n';
}

[[maybe_unused]] void putMissing(const char *name) {
    std::cout << name << " <not defined as a macro>\n";
}

void putSize(const char *name, size_t size) {
    std::cout << "sizeof(" << name << ") " << size << '\n';
}

void putOffset(const char *type, const char *field, size_t offset) {
    std::cout << "offsetof(" << type << ", " << field << ") " << offset << '\n';
}

} // namespace

#define KX_MACRO(n) put(#n, n);
#define KX_MISSING(n) putMissing(#n);
#define KX_ENUM(n) put(#n, n);
#define KX_GUID(n) putGuid(#n, n);
#define KX_SIZE(t) putSize(#t, sizeof(t));
#define KX_OFFSET(t, f) putOffset(#t, #f, offsetof(t, f));

int main() {
#include "parity_list.inc"
    return 0;
}
