#include "lfb_scaling.h"

#include <stdlib.h>
#include <string.h>

#include "render_scale.h"

// Reads use a box filter: each game pixel is the average of the block it covers. A game reads its frame
// buffer back to save a picture, or to darken or blend over the 3D scene for a menu and write it again;
// nearest sampling would lose every thin line and edge drawn between the sampled pixels, while the average
// is what the board, drawing at the game's resolution, would have held. A block the game wrote is uniform
// and averages to exactly what was written, so read-back after write round-trips.

namespace {

struct Span {
    FxU32 from, to;
};

// A pixel's channels in the surface's layout: 565, or the four bytes of XRGB.
struct Channels {
    int count;
    FxU32 shift[4];
    FxU32 mask[4];
};

const Channels rgb565 = {3, {11, 5, 0, 0}, {0x1F, 0x3F, 0x1F, 0}};
const Channels xrgb8888 = {4, {24, 16, 8, 0}, {0xFF, 0xFF, 0xFF, 0xFF}};
const FxU32 widePixel = 4;

FxU32 readPixel(const FxU8 *at, FxU32 bytes) {
    if (bytes == widePixel) {
        FxU32 value;
        memcpy(&value, at, sizeof(value));
        return value;
    }
    FxU16 value;
    memcpy(&value, at, sizeof(value));
    return value;
}

void writePixel(FxU8 *at, FxU32 value, FxU32 bytes) {
    if (bytes == widePixel) {
        memcpy(at, &value, sizeof(value));
        return;
    }
    const FxU16 narrow = static_cast<FxU16>(value);
    memcpy(at, &narrow, sizeof(narrow));
}

Span columnsOf(FxU32 x, FxU32 limit) {
    Span span = {
        renderScaling.pictureLeft + scaledEdge(x, renderContext.screenWidth, renderScaling.pictureWidth),
        renderScaling.pictureLeft + scaledEdge(x + 1, renderContext.screenWidth, renderScaling.pictureWidth)};
    if (span.to > limit) span.to = limit;
    return span;
}

Span rowsOf(FxU32 y, FxU32 limit) {
    Span span = {renderScaling.pictureTop +
                     scaledEdge(y, renderContext.screenHeight, renderScaling.pictureHeight),
                 renderScaling.pictureTop +
                     scaledEdge(y + 1, renderContext.screenHeight, renderScaling.pictureHeight)};
    if (span.to > limit) span.to = limit;
    return span;
}

struct SurfaceBounds {
    FxU32 width, height;
};

SurfaceBounds boundsOf(const DDSURFACEDESC2 &surface, FxU32 bytes) {
    SurfaceBounds bounds = {renderScaling.bufferWidth, renderScaling.bufferHeight};
    if ((surface.dwFlags & DDSD_WIDTH) && surface.dwWidth < bounds.width) bounds.width = surface.dwWidth;
    if ((surface.dwFlags & DDSD_HEIGHT) && surface.dwHeight < bounds.height) bounds.height = surface.dwHeight;
    const FxU32 pitchPixels = static_cast<FxU32>(surface.lPitch) / bytes;
    if (pitchPixels < bounds.width) bounds.width = pitchPixels;
    return bounds;
}

FxU8 *surfaceAt(const DDSURFACEDESC2 &surface, FxU32 x, FxU32 y, FxU32 bytes) {
    return static_cast<FxU8 *>(surface.lpSurface) + static_cast<ptrdiff_t>(y) * surface.lPitch +
           static_cast<ptrdiff_t>(x) * bytes;
}

FxU32 boxAverage(const DDSURFACEDESC2 &surface, Span columns, Span rows, FxU32 bytes) {
    const Channels &layout = bytes == widePixel ? xrgb8888 : rgb565;
    FxU32 sum[4] = {0, 0, 0, 0}, count = 0;
    for (FxU32 y = rows.from; y < rows.to; ++y)
        for (FxU32 x = columns.from; x < columns.to; ++x, ++count) {
            const FxU32 pixel = readPixel(surfaceAt(surface, x, y, bytes), bytes);
            for (int c = 0; c < layout.count; ++c)
                sum[c] += (pixel >> layout.shift[c]) & layout.mask[c];
        }
    if (count == 0) return 0;
    FxU32 pixel = 0;
    for (int c = 0; c < layout.count; ++c)
        pixel |= ((sum[c] + count / 2) / count) << layout.shift[c];
    return pixel;
}

void fillBlock(const DDSURFACEDESC2 &surface, Span columns, Span rows, FxU32 pixel, FxU32 bytes) {
    for (FxU32 y = rows.from; y < rows.to; ++y)
        for (FxU32 x = columns.from; x < columns.to; ++x)
            writePixel(surfaceAt(surface, x, y, bytes), pixel, bytes);
}

bool ensureViewMemory(ScaledView &view, size_t size) {
    if (view.pixels != NULL && view.size >= size) return true;
    freeScaledView(view);
    view.pixels = static_cast<FxU8 *>(malloc(size));
    view.reference = static_cast<FxU8 *>(malloc(size));
    view.size = size;
    if (view.pixels != NULL && view.reference != NULL) return true;
    freeScaledView(view);
    return false;
}

} // namespace

bool takeScaledView(DDSURFACEDESC2 &desc, ScaledView &view, FxU32 bytesPerPixel) {
    view.taken = 0;
    if (!renderScaling.active || desc.lpSurface == NULL || desc.lPitch <= 0) return true;
    const FxU32 width = renderContext.screenWidth, height = renderContext.screenHeight;
    const size_t stride = static_cast<size_t>(width) * bytesPerPixel;
    if (!ensureViewMemory(view, stride * height)) return false;
    const SurfaceBounds bounds = boundsOf(desc, bytesPerPixel);
    for (FxU32 y = 0; y < height; ++y) {
        const Span rows = rowsOf(y, bounds.height);
        for (FxU32 x = 0; x < width; ++x)
            writePixel(view.pixels + y * stride + x * bytesPerPixel,
                       boxAverage(desc, columnsOf(x, bounds.width), rows, bytesPerPixel), bytesPerPixel);
    }
    memcpy(view.reference, view.pixels, stride * height);
    view.surface = desc;
    view.taken = 1;
    desc.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.lPitch = static_cast<LONG>(stride);
    desc.lpSurface = view.pixels;
    return true;
}

void giveScaledViewBack(DDSURFACEDESC2 &desc, ScaledView &view, FxU32 bytesPerPixel) {
    if (!view.taken) return;
    view.taken = 0;
    desc = view.surface;
    const FxU32 width = renderContext.screenWidth, height = renderContext.screenHeight;
    const size_t stride = static_cast<size_t>(width) * bytesPerPixel;
    const SurfaceBounds bounds = boundsOf(desc, bytesPerPixel);
    // Only the rows, and in them the pixels, the game changed are replaced: the rest keeps the detail the
    // scaled drawing put there.
    for (FxU32 y = 0; y < height; ++y) {
        const FxU8 *now = view.pixels + y * stride, *before = view.reference + y * stride;
        if (memcmp(now, before, stride) == 0) continue;
        const Span rows = rowsOf(y, bounds.height);
        for (FxU32 x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(x) * bytesPerPixel;
            if (memcmp(now + at, before + at, bytesPerPixel) == 0) continue;
            fillBlock(desc, columnsOf(x, bounds.width), rows, readPixel(now + at, bytesPerPixel),
                      bytesPerPixel);
        }
    }
}

void dropScaledView(ScaledView &view) {
    view.taken = 0;
}

void freeScaledView(ScaledView &view) {
    free(view.pixels);
    free(view.reference);
    view.pixels = NULL;
    view.reference = NULL;
    view.size = 0;
    view.taken = 0;
}
