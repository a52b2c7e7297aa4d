// The DirectDraw surfaces of a full-screen display: the flipping pair, the two extra buffers and the depth
// buffer.
#ifndef KESTRIX_SCREEN_SURFACES_H
#define KESTRIX_SCREEN_SURFACES_H

#include <windows.h>
#include <ddraw.h>

#include "../core/library_rules.h"

// The full-screen frame buffer is 565 for every ColorDepth but 32, a value missing from the store included.
DWORD fullScreenBitsPerPixel();
// The primary with its back buffer, and the aux and triple buffers; shows the rules' message box for the
// surface that fails.
bool createSurfaces(const DisplayOpenRules &rules);
// A surface of the Glide size; without a format, in the display's.
IDirectDrawSurface7 *createScreenSurface(DWORD caps, const DDPIXELFORMAT *format = NULL);
// The depth buffer, attached to the back buffer.
bool createDepthBuffer();

#endif
