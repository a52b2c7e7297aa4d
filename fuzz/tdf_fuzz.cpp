// libFuzzer target: arbitrary bytes as a 3DF file, read by gu3dfGetInfo and then by gu3dfLoad into a
// buffer of exactly the size gu3dfGetInfo announced.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "glide2x.h"

namespace {

std::string scratchPath() {
    const char *dir = getenv("TMPDIR");
    std::string base = dir && *dir ? dir : "/tmp";
    return base + "/tdf_fuzz_" + std::to_string(getpid()) + ".3df";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const std::string path = scratchPath();
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) abort();
    if (size > 0 && fwrite(data, 1, size, file) != size) abort();
    fclose(file);

    Gu3dfInfo info;
    memset(&info, 0, sizeof(info));
    if (!gu3dfGetInfo(path.c_str(), &info)) return 0;
    // Large announcements are legal headers but need not be allocated for every input.
    if (info.mem_required > (1u << 24)) return 0;
    // An exact-size heap buffer, so that AddressSanitizer sees any write past mem_required.
    std::vector<unsigned char> buffer(info.mem_required);
    info.data = info.mem_required ? buffer.data() : nullptr;
    gu3dfLoad(path.c_str(), &info);
    // A record the application altered must not be trusted either.
    info.header.large_lod = (size ? data[size - 1] % 12 : 0) - 1;
    gu3dfLoad(path.c_str(), &info);
    return 0;
}
