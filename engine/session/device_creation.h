// The Direct3D 7 device on the back buffer, and the adapter it runs on.
#ifndef KESTRIX_DEVICE_CREATION_H
#define KESTRIX_DEVICE_CREATION_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

// The device types tried, best first.
extern const GUID *const deviceTypes[5];

void logAdapterIdentity();
// The first device type that accepts the back buffer.
bool createDevice();

#endif
