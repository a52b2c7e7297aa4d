// The operations of Direct3D texture stages 0 and 1, from the colour and alpha combine and the texture
// combine of each texture unit: stage 0 applies the combine to TMU 0's texture and the diffuse colour,
// stage 1 brings in TMU 1's texture only where the combine reads a texture that TMU 0 takes from TMU 1.
#ifndef KESTRIX_COMBINE_STAGES_H
#define KESTRIX_COMBINE_STAGES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"

enum CombineStagePart { stageColorPart = 0, stageAlphaPart = 1 };

// The operation stage 0 or 1 should apply for the colour or alpha part; 0 before any combine call.
DWORD combineStageOp(DWORD stage, int part);

// Sends the part's operation to both stages where it differs from the one last sent, or on every call
// when resend is set.
void sendCombineStages(int part, bool resend);

// Both parts, where they changed: after a texture unit's binding or texture combine changed.
void refreshCombineStages();

#endif
