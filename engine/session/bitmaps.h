// The "LOGO" and "SPLASH" bitmaps: loaded from the library's resources or a file, blitted to the screen.
#ifndef KESTRIX_BITMAPS_H
#define KESTRIX_BITMAPS_H

#include <windows.h>
#include <ddraw.h>

int drawBitmapResource(const char *name, DWORD x, DWORD y);
IDirectDrawSurface7 *loadBitmapSurface(const char *name);
HRESULT copyBitmapToSurface(IDirectDrawSurface7 *surface, HBITMAP bitmap, int x, int y, int dx, int dy);
void drawLogo();
// The board's splash filled the rectangle it was given: the logo centred where it fits, else the small
// splash at (x, y). A position without an integer part (NaN, infinity, beyond int) draws nothing.
void drawSplash(float x, float y, float width, float height);

// The small splash in the bottom-right corner of every presented frame while the plug is on.
void drawShamelessPlug();
// Its bitmap goes with the display.
void releaseShamelessPlug();

#endif
