#include "processor.h"

#include <windows.h>
#include <intrin.h>

int measureProcessorMhz() {
    unsigned long long start = __rdtsc();
    Sleep(1000);
    unsigned long long end = __rdtsc();
    return static_cast<int>((end - start) / 1000000ULL);
}

unsigned short readFpuControlWord() {
    unsigned short controlWord = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(controlWord));
    return controlWord;
}

void writeFpuControlWord(unsigned short controlWord) {
    __asm__ __volatile__("fldcw %0" : : "m"(controlWord));
}

// Games that rely on single-precision x87 arithmetic ask for it through this hint; 0x300 is the precision
// field.
void applyFpuPrecisionHint(FxU32 hintMask) {
    __asm__ __volatile__("fnclex");
    unsigned short controlWord = readFpuControlWord();
    if (hintMask != 0)
        controlWord = static_cast<unsigned short>((controlWord & ~0x0300u) | 0x0200u | 0x003Fu);
    else
        controlWord = static_cast<unsigned short>(controlWord & ~0x0300u);
    writeFpuControlWord(controlWord);
}
