// Host stand-in for <commctrl.h>: common-control initialisation and trackbars.
#ifndef KESTRIX_PLATFORM_COMMCTRL_H
#define KESTRIX_PLATFORM_COMMCTRL_H

#include "windows.h"

#define TRACKBAR_CLASSA "msctls_trackbar32"

#define TBM_GETPOS (WM_USER)
#define TBM_GETRANGEMIN (WM_USER + 1)
#define TBM_GETRANGEMAX (WM_USER + 2)
#define TBM_SETPOS (WM_USER + 5)
#define TBM_SETRANGE (WM_USER + 6)
#define TBM_SETRANGEMIN (WM_USER + 7)
#define TBM_SETRANGEMAX (WM_USER + 8)
#define TBM_SETTICFREQ (WM_USER + 20)
#define TBM_SETPAGESIZE (WM_USER + 21)
#define TBM_SETLINESIZE (WM_USER + 23)

extern "C" void WINAPI InitCommonControls(void);

#endif
