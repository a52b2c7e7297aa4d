// Glide games draw a triangle a call, and a device call costs far more than converting the triangle:
// consecutive primitives are collected and sent in one DrawPrimitive. Every device state change goes
// through device_state.h, which draws the batch first, so all of a batch shares one state; whatever else
// could see or change what the batch draws (a clear, a swap, a frame-buffer lock, a texture's texels or
// key, the end of the scene) draws it first too.
#ifndef KESTRIX_DRAW_BATCH_H
#define KESTRIX_DRAW_BATCH_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "draw_vertex.h"

// The one way every library's primitives reach the device: vertexBuffer[0] to [count - 1] as one
// primitive. Triangle lists, points and lines join the batch; fans, strips and primitives that fog draws
// in two passes are drawn at once after it. A fan stays a fan: Wine's rasteriser sets up a fan's
// triangles from other corners than a list's, and the gradients of the Glide 2 demo's sky came out a step
// apart on some rows.
void drawConvertedVertices(D3DPRIMITIVETYPE type, int count);
// Where a point, line or triangle of `count` vertices is converted: the free end of the batch when it has
// room, so that joining the batch copies nothing; else vertexBuffer.
DrawVertex *listSlots(int count);
// Draws a point list, line list or triangle list converted into listSlots(count), as
// drawConvertedVertices draws one converted into vertexBuffer.
void drawListVertices(D3DPRIMITIVETYPE type, DrawVertex *slots, int count);
// Converted triangles anywhere in the vertex buffer, three vertices each, joining the batch.
void drawConvertedTriangles(const DrawVertex *first, int count);

// Sends what the batch holds; nothing without a device.
void flushDrawBatch();
// The device is gone, or the process ends: what the batch holds is not drawn.
void dropDrawBatch();

#endif
