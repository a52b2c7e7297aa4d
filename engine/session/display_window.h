// The window the display is shown in, and what the library does to it for particular games.
#ifndef KESTRIX_DISPLAY_WINDOW_H
#define KESTRIX_DISPLAY_WINDOW_H

#include <windows.h>

// A window of the library's own, for programs that open Glide without one; null when none could be made.
HWND createOwnWindow();
void destroyOwnWindow();
// With a window of the library's own, nobody else processes its messages: each present does.
void pumpOwnWindowMessages();
// The "AppName:" line, and the quirk table's entries that the game's window title selects.
void readWindowTitle();
void moveEmulatorWindow();

#endif
