// Host stand-in for <mmsystem.h>: the multimedia timer's resolution, which Sleep follows.
#ifndef KESTRIX_PLATFORM_MMSYSTEM_H
#define KESTRIX_PLATFORM_MMSYSTEM_H

#include "windef.h"

typedef UINT MMRESULT;

#define TIMERR_BASE 96
#define TIMERR_NOERROR (0)
#define TIMERR_NOCANDO (TIMERR_BASE + 1)

extern "C" {
MMRESULT WINAPI timeBeginPeriod(UINT uPeriod);
MMRESULT WINAPI timeEndPeriod(UINT uPeriod);
}

#endif
