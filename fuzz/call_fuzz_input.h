// The input format of the call-sequence fuzz targets (Glide 2 and Glide 3), shared by the targets (which
// read it) and the seed writers (which write it).
//
// An input is a header of `headerBytes` bytes (settings store, window, device capabilities, texture
// formats, injected failures) followed by calls: one operation byte, then its arguments. Integers and
// floats are tagged so that one byte reaches the values where faults hide (-1, 0xFF, 2^31, the last
// texture address, NaN, infinities, snapped coordinates), and a tag followed by four raw bytes reaches
// every value. A short input reads as zeros.
#ifndef KESTRIX_CALL_FUZZ_INPUT_H
#define KESTRIX_CALL_FUZZ_INPUT_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

namespace fuzzinput {

const size_t headerBytes = 19; // hFault0 and two more failures

// Header byte offsets.
enum Header {
    hStore,       // bits 0-1 product key: 0 missing, 1 and 3 values below, 2 empty; 2: FX_GLIDE_NO_SPLASH;
                  // 3: FX_GLIDE_NO_DITHER_SUB; 4-5 window title; 6: hWnd 0 (active window); 7: Windows 98
    hSettings1,   // 0-2 ColorDepth choice; 3-4 Oversample; 5 Fog; 6 Antialiasing; 7 ZFast
    hSettings2,   // 0 WaveRace; 1-2 FightingForceFix; 3 Filtering; 4 TMU; 5 TripleBuffer; 6 Windowed;
                  // 7 FramePacing by the swap interval
    hDevices,     // 0-4 device type n cannot be created; 5 HAL types list no depth format; 6 only stencil
                  // depth formats; 7 pitch padding
    hTextures1,   // texture formats offered, bit n of the list in the target (first eight)
    hTextures2,   // the next eight; 0xFF in both bytes counts as every format (the default device)
    hCaps,        // 0 no BLENDTEXTUREALPHA; 1 blend caps from hBlendCaps; 2 compare caps from hCompareCaps;
                  // 3 no mirrored texture addressing
    hBlendCaps,   // spread over the 13 D3DPBLENDCAPS bits
    hCompareCaps, // the 8 D3DPCMPCAPS bits
    hFaultCount,  // 0-1 number of injected failures (0 to 3); 2-7 the vertical blank and scan line
    hFault0,      // three bytes per failure: call name, occurrence (0 every call), surface role (7: any)
};

// The operation each value of the operation byte stands for, by weight: the calls a game makes every frame
// are drawn more often.
template <typename OpType, int count, int (*weight)(OpType)> struct WeightedOpTable {
    typedef OpType Op;
    Op ops[256];
    WeightedOpTable() {
        std::vector<Op> pool;
        for (int op = 0; op < count; ++op)
            for (int i = 0; i < weight(static_cast<Op>(op)); ++i)
                pool.push_back(static_cast<Op>(op));
        for (int i = 0; i < 256; ++i)
            ops[i] = pool[static_cast<size_t>(i) % pool.size()];
    }
    uint8_t byteOf(Op op) const {
        for (int i = 0; i < 256; ++i)
            if (ops[i] == op) return static_cast<uint8_t>(i);
        return 0;
    }
};

class Reader {
  public:
    Reader(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool done() const { return at_ >= size_; }
    size_t remaining() const { return at_ < size_ ? size_ - at_ : 0; }

    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t raw32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }

    int32_t num() {
        uint8_t t = byte();
        if (t < 0xF0) return t;
        switch (t) {
        case 0xF0:
            return -1;
        case 0xF1:
            return 0xFF;
        case 0xF2:
            return 0x7FFFFFFF;
        case 0xF3:
            return static_cast<int32_t>(0x80000000u);
        case 0xF4:
            return 0x3FFC00;
        case 0xF5:
            return 0x400000;
        case 0xF6:
            return 256 + byte();
        case 0xF7:
            return -static_cast<int32_t>(byte()) - 2;
        case 0xF8:
            return 0x10000;
        case 0xF9:
            return 9830 + static_cast<int8_t>(byte());
        case 0xFA:
            return byte() | byte() << 8;
        case 0xFB:
            return byte() << 10;
        case 0xFC:
            return (byte() | byte() << 8) << 10;
        case 0xFE:
            return static_cast<int32_t>(0xFFFFFFFFu - byte());
        default:
            return static_cast<int32_t>(raw32());
        }
    }
    uint32_t unum() { return static_cast<uint32_t>(num()); }

    float fl() {
        uint8_t t = byte();
        if (t < 0x80) return static_cast<float>(t) * 2.0f;
        if (t < 0xC0) return static_cast<float>(t - 0x80) / 64.0f;
        switch (t) {
        case 0xC1:
            return __builtin_nanf("");
        case 0xC2:
            return __builtin_inff();
        case 0xC3:
            return -__builtin_inff();
        case 0xC4:
            return 786432.0f + static_cast<float>(byte()) * 2.0f;
        case 0xC5:
            return -1e30f;
        case 0xC6:
            return 1e30f;
        case 0xC7:
            return -0.0f;
        case 0xC8:
            return 1e-45f;
        case 0xC9:
            return 524288.0f + static_cast<float>(static_cast<int8_t>(byte()));
        case 0xCA:
            return 2147483648.0f;
        case 0xCB:
            return -2147483904.0f;
        case 0xCC:
            return static_cast<float>(byte()) * 256.0f;
        case 0xCD:
            return -static_cast<float>(byte());
        default: {
            uint32_t bits = raw32();
            float value;
            memcpy(&value, &bits, sizeof(value));
            return value;
        }
        }
    }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

// Writes what Reader reads back exactly.
class ByteWriter {
  public:
    std::vector<uint8_t> bytes;

    void byte(uint8_t v) { bytes.push_back(v); }
    void raw32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            byte(static_cast<uint8_t>(v >> (8 * i)));
    }
    void num(int64_t value) {
        uint32_t v = static_cast<uint32_t>(value);
        if (v < 0xF0) {
            byte(static_cast<uint8_t>(v));
        } else {
            byte(0xFF);
            raw32(v);
        }
    }
    void fl(float value) {
        uint32_t bits;
        memcpy(&bits, &value, sizeof(bits));
        byte(0xC0);
        raw32(bits);
    }
};

// Writes the operation codes of one target's table as well.
template <typename Table> class OpWriter : public ByteWriter {
  public:
    void op(typename Table::Op code) {
        static const Table table;
        byte(table.byteOf(code));
    }
};

} // namespace fuzzinput

#endif
