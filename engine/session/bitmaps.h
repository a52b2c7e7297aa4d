// The "LOGO" and "SPLASH" bitmaps: loaded from the library's resources or a file, blitted to the screen.
#ifndef KESTRIX_BITMAPS_H
#define KESTRIX_BITMAPS_H

#include <windows.h>
#include <ddraw.h>

int drawBitmapResource(const char *name, DWORD x, DWORD y);
IDirectDrawSurface7 *loadBitmapSurface(const char *name);
HRESULT copyBitmapToSurface(IDirectDrawSurface7 *surface, HBITMAP bitmap, int x, int y, int dx, int dy);
void drawLogo();

#endif
