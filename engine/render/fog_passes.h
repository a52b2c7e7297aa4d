// Drawing the converted vertices, in two passes where Glide's fog keeps only the fog colour (GR_FOG_MULT2):
// Direct3D 7 blends one source colour, but then the board blends the fogged colour by its source factor and
// may scale the frame buffer by the colour before fog (GR_BLEND_PREFOG_COLOR).
#ifndef KESTRIX_FOG_PASSES_H
#define KESTRIX_FOG_PASSES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

// The fog equation in force keeps only the fog colour, with a blend the passes can make.
bool fogNeedsPasses();
// vertexBuffer[0] to [count - 1] as one primitive in those passes, on the open device.
void drawWithFogPasses(D3DPRIMITIVETYPE type, int count);

#endif
