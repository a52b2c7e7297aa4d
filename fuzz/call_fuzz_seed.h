// What the seed writers of the call-sequence fuzz targets share: the machine header, the buffer and
// pointer arguments, and the file a seed is saved to.
#ifndef KESTRIX_CALL_FUZZ_SEED_H
#define KESTRIX_CALL_FUZZ_SEED_H

#include <stdio.h>

#include <string>
#include <vector>

#include "call_fuzz_input.h"

namespace fuzzinput {

template <typename Writer> class BasicSeed {
  public:
    Writer w;

    // The default machine: product key with the settings program's defaults, every device type and
    // texture format, no failures. ColorDepth choice 0 is 16 bits, 1 is 32.
    explicit BasicSeed(int colorDepthChoice = 0, uint8_t settings2 = 0x08, uint8_t devices = 0,
                       uint8_t caps = 0, std::vector<uint8_t> faults = {}) {
        uint8_t header[headerBytes] = {};
        header[hStore] = 1;
        header[hSettings1] = static_cast<uint8_t>(0xE0 | colorDepthChoice);
        header[hSettings2] = settings2;
        header[hDevices] = devices;
        header[hTextures1] = 0xFF;
        header[hTextures2] = 0xFF;
        header[hCaps] = caps;
        header[hFaultCount] = static_cast<uint8_t>(faults.size() / 3);
        for (size_t i = 0; i < faults.size() && hFault0 + i < headerBytes; ++i)
            header[hFault0 + i] = faults[i];
        for (uint8_t b : header)
            w.byte(b);
    }

    void valid() { w.byte(0); }
    void null() { w.byte(7); }
    // Buffer contents: a count byte and that many pattern bytes.
    void fill(uint8_t seed) {
        w.byte(3);
        for (int i = 0; i < 4; ++i)
            w.byte(static_cast<uint8_t>(seed + 37 * i));
    }

    void save(const std::string &dir, const char *name) const {
        std::string path = dir + "/" + name;
        FILE *file = fopen(path.c_str(), "wb");
        if (!file) {
            perror(path.c_str());
            return;
        }
        fwrite(w.bytes.data(), 1, w.bytes.size(), file);
        fclose(file);
    }
};

} // namespace fuzzinput

#endif
