// The display in a window on the desktop: the window's size and place, the surfaces, and the stretch of each
// presented frame onto the window.
#ifndef KESTRIX_WINDOWED_DISPLAY_H
#define KESTRIX_WINDOWED_DISPLAY_H

#include "display_device.h"

// Everything between the cooperative level and the Direct3D device's caps, the device included.
bool openWindowedSurfaces(const DisplayOpenRules &rules);
// Releases the primary surface and its clipper; the other objects go as in full-screen.
void releaseWindowedSurfaces();
// Puts the application's window back as the open found it.
void restoreWindowPlacement();
// Shows the front buffer in the window; nothing in full-screen, where the front buffer is the screen.
void showFrontBuffer();

#endif
