#include "texture_utilities.h"

#include <stdint.h>
#include <string.h>

int encodeRle16(void *dst, const void *src, FxU32 width, FxU32 height) {
    const uint64_t count = static_cast<uint64_t>(width) * height;
    if (count == 0 || !src) return 0;
    const unsigned char *texels = static_cast<const unsigned char *>(src);
    unsigned char *out = static_cast<unsigned char *>(dst);
    uint64_t size = 0;
    uint64_t at = 0;
    while (at < count) {
        FxU16 value;
        memcpy(&value, texels + 2 * at, sizeof(value));
        // The run length has 16 bits; a longer run (a 256 x 256 texture of one value has 65536
        // texels) continues in the next word.
        uint64_t run = 1;
        while (run < 0xFFFF && at + run < count) {
            FxU16 next;
            memcpy(&next, texels + 2 * (at + run), sizeof(next));
            if (next != value) break;
            ++run;
        }
        if (out) {
            FxU32 word = static_cast<FxU32>(run) << 16 | value;
            memcpy(out, &word, sizeof(word));
            out += sizeof(word);
        }
        at += run;
        size += 4;
    }
    return size > INT32_MAX ? INT32_MAX : static_cast<int>(size);
}
