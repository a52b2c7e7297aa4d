// The display mode a full-screen open found, for games that show their menus and movies with their own
// DirectDraw in a mode of their own and only their 3D through Glide.
#ifndef KESTRIX_OPENING_MODE_H
#define KESTRIX_OPENING_MODE_H

#include "../core/render_context.h"

// Before the open changes the mode: remembers the one in force when it is not the desktop's.
void rememberOpeningMode();
// After the close: DirectDraw's RestoreDisplayMode and release return to the desktop's mode; the game's own
// mode is put back over it.
void putBackOpeningMode();

#endif
