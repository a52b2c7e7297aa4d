// Host stand-in for <windows.h>: only what Kestrix uses, with the real names,
// signatures and values (checked against the real headers by tests/parity).
#ifndef KESTRIX_PLATFORM_WINDOWS_H
#define KESTRIX_PLATFORM_WINDOWS_H

#include "windef.h"
#include "winerror.h"
#include "unknwn.h"
#include "winbase.h"
#include "winreg.h"
#include "wingdi.h"
#include "winuser.h"
#include "mmsystem.h"

#endif
