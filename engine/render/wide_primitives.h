// Points and lines drawn scaled: Direct3D 7 rasterises both one pixel wide whatever the buffer's size, so a
// game's one-pixel point becomes a block of the scaled size and its line as many pixels thick.
#ifndef KESTRIX_WIDE_PRIMITIVES_H
#define KESTRIX_WIDE_PRIMITIVES_H

// Whether the picture is drawn larger than the game's pixels.
bool drawsWidePrimitives();
// The converted point in vertexBuffer[0], or the line from [0] to [1], as two triangles.
void drawWidePoint();
void drawWideLine();

#endif
