// Every device state the engine sets goes through here: the last value the device accepted is kept, and a
// change first draws the batch collected under the old state. Games set the same state before every
// triangle: a value the device already holds is not sent again and leaves the batch whole. Whatever may
// leave the device holding something else than the record (a new device, lost surfaces, a new render
// target's viewport) must forget the record.
#ifndef KESTRIX_DEVICE_STATE_H
#define KESTRIX_DEVICE_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

// Nothing without a device.
void sendRenderState(D3DRENDERSTATETYPE state, DWORD value);
void sendStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
void sendTexture(DWORD stage, IDirectDrawSurface7 *surface);
HRESULT sendViewport(const D3DVIEWPORT7 &viewport);
// The render target changes: the batch is drawn first, and the device's viewport is no longer known.
HRESULT sendRenderTarget(IDirectDrawSurface7 *target);

// A texture's texels, palette or key are about to change: a batch that draws with it is sent first.
void flushIfTextureBound(IDirectDrawSurface7 *surface);
// Whether a stage holds the surface, or may after a refused SetTexture.
bool textureMayBeOnStage(IDirectDrawSurface7 *surface);

// The value the device holds: the one last sent, or the device's own answer when none was.
DWORD sentRenderState(D3DRENDERSTATETYPE state);
DWORD sentStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type);

// A new device, or none, or surfaces given back after another program held the screen: nothing is known
// of what the device holds.
void forgetDeviceState();
// The same device may hold other values than those sent: each is sent again when next set.
void forgetSentValues();

#endif
