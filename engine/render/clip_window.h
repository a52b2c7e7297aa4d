// Glide's clip window and origin, as the device's viewport and cull mode.
#ifndef KESTRIX_CLIP_WINDOW_H
#define KESTRIX_CLIP_WINDOW_H

#include "../glide_values.h"

void clipWindowToScreen();
// The drawable rectangle in Glide's coordinates of the current origin, bounded to the screen.
void setClipWindow(FxU32 minX, FxU32 minY, FxU32 maxX, FxU32 maxY);
// Logs the origin when it changes and sends the cull mode again for the new orientation.
void setOrigin(FxI32 origin);
// The origin a window opens with, always logged.
void setOpeningOrigin(FxI32 origin);

#endif
