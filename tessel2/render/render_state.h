// Glide render state applied to the Direct3D device.
#ifndef KESTRIX_RENDER_STATE_H
#define KESTRIX_RENDER_STATE_H

void disableAllEffects();

#endif
