// The engine's records put back to how a freshly loaded library, or a new device, has them.
#ifndef KESTRIX_STATE_RESETS_H
#define KESTRIX_STATE_RESETS_H

// Every record as a freshly loaded library has it. Holds no device objects or memory: release them first.
void resetLoadState();
// What a new device starts without: bound textures, stage states last sent, the palette stamp.
void resetDeviceState();

#endif
