// Processor speed and x87 precision control.
#ifndef KESTRIX_PROCESSOR_H
#define KESTRIX_PROCESSOR_H

#include "../glide_values.h"

int measureProcessorMhz();
void applyFpuPrecisionHint(FxU32 hintMask);
unsigned short readFpuControlWord();
void writeFpuControlWord(unsigned short controlWord);

#endif
