// Host stand-in for <intrin.h>: the time-stamp counter comes from the simulation.
#ifndef KESTRIX_PLATFORM_INTRIN_H
#define KESTRIX_PLATFORM_INTRIN_H

extern "C" unsigned long long __rdtsc(void);

#endif
