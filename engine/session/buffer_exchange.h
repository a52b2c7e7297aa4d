// The buffers of the display change places at a present, as the board's did.
#ifndef KESTRIX_BUFFER_EXCHANGE_H
#define KESTRIX_BUFFER_EXCHANGE_H

#include "../core/render_context.h"

// The back buffer becomes the front; the new back buffer is the one shown before (with TripleBuffer, the
// one shown two presents ago). The depth buffer stays with the render target.
void exchangeBuffers();
// Points the device at another surface, taking the depth buffer along; false (nothing changed) when refused.
bool moveRenderTarget(IDirectDrawSurface7 *from, IDirectDrawSurface7 *to);
// How many back buffers the display has: two with TripleBuffer, else one.
unsigned backBufferCount();

#endif
