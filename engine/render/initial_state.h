// The render and stage states a new device is given before the first Glide call.
#ifndef KESTRIX_INITIAL_STATE_H
#define KESTRIX_INITIAL_STATE_H

void setInitialDeviceState();

#endif
