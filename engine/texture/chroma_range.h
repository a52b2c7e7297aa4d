// Colour ranges keyed out of textures. Wine's DirectDraw refuses colour-space keys, so a range is keyed in
// software: the texels inside it are rewritten as one colour at conversion, and that colour is the
// surface's colour key, which Direct3D's colour keying then drops like any chroma-keyed texel.
#ifndef KESTRIX_CHROMA_RANGE_H
#define KESTRIX_CHROMA_RANGE_H

#include <windows.h>
#include <ddraw.h>

#include "../glide_values.h"

struct TextureRecord;

// A range of colours, each of red, green and blue compared on its own, bounds included.
struct ChromaRange {
    bool enabled;
    FxU32 low; // 0x00RRGGBB
    FxU32 high;
};

// The frame's chroma range (it stands in for the chroma-key value while enabled) and each TMU's texture
// chroma range, as the program last set them.
void setChromaRangeMode(bool enabled);
void setChromaRange(FxU32 lowArgb, FxU32 highArgb);
void setTexChromaMode(FxI32 tmu, bool enabled);
void setTexChromaRange(FxI32 tmu, FxU32 lowArgb, FxU32 highArgb);

// The range the textures of a TMU are keyed with: its own, else the frame's, else none.
ChromaRange chromaRangeFor(FxI32 tmu);
bool anyChromaRangeEnabled();

// The colour, in the surface's layout, that texels inside the range become; false when no colour of the
// layout lies inside the range, so that no texel can.
bool rangeKeyTexel(const ChromaRange &range, const DDPIXELFORMAT &format, DWORD *key);
// Rewrites the texels of rows rows (width texels each, pitch bytes apart) that lie inside the record's
// keyed range.
void keyRowsInRange(const TextureRecord *record, FxU8 *rows, LONG pitch, FxU32 width, FxU32 rowCount);
// Brings the record's texels up to date with the range of its TMU; true when they changed.
bool applyChromaRange(TextureRecord *record);

#endif
