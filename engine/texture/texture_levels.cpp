// The mipmap levels of a texture record: the surfaces of its chain and the texels they take.
#include <stdlib.h>
#include <string.h>

#include "texture_memory.h"
#include "../render/device_state.h"
#include "../core/render_context.h"
#include "texture_state.h"

namespace {

// The surface of one level; the smaller levels come with a reference the caller gives back.
IDirectDrawSurface7 *acquireLevel(IDirectDrawSurface7 *top, FxU32 level) {
    IDirectDrawSurface7 *surface = top;
    for (FxU32 i = 0; i < level && surface != NULL; ++i) {
        DDSCAPS2 caps;
        memset(&caps, 0, sizeof(caps));
        caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
        IDirectDrawSurface7 *next = NULL;
        if (surface->GetAttachedSurface(&caps, &next) != DD_OK) next = NULL;
        if (i > 0) surface->Release();
        surface = next;
    }
    return surface;
}

void releaseLevel(IDirectDrawSurface7 *surface, FxU32 level) {
    if (surface != NULL && level > 0) surface->Release();
}

// Locks a whole level; false (and nothing locked) when the surface cannot hold the level's rows.
bool lockLevel(const TextureRecord *record, IDirectDrawSurface7 *surface, FxU32 level, DDSURFACEDESC2 &desc) {
    flushIfTextureBound(record->surface);
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (surface == NULL || surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return false;
    if (desc.lpSurface != NULL && desc.lPitch >= 0 && desc.dwHeight >= levelHeight(record, level) &&
        static_cast<FxU32>(desc.lPitch) >= levelWidth(record, level) * record->formatRow.destinationBytes)
        return true;
    surface->Unlock(NULL);
    return false;
}

// Rows firstRow to lastRow of a level from source, which holds those rows tightly packed.
void fillRows(const TextureRecord *record, FxU32 level, const DDSURFACEDESC2 &desc, const FxU8 *source,
              FxU32 firstRow, FxU32 lastRow) {
    const TextureFormatRow &row = record->formatRow;
    const FxU32 width = levelWidth(record, level);
    FxU8 *destination = static_cast<FxU8 *>(desc.lpSurface);
    const size_t sourcePitch = static_cast<size_t>(width) * row.sourceBytes;
    const size_t destinationBytes = static_cast<size_t>(width) * row.destinationBytes;
    if (row.converter == NULL && static_cast<size_t>(desc.lPitch) == destinationBytes) {
        memcpy(destination + static_cast<size_t>(firstRow) * desc.lPitch, source,
               destinationBytes * (lastRow - firstRow + 1));
        return;
    }
    for (FxU32 y = firstRow; y <= lastRow; ++y) {
        FxU8 *target = destination + static_cast<size_t>(y) * desc.lPitch;
        const FxU8 *texels = source + (y - firstRow) * sourcePitch;
        if (row.converter != NULL)
            row.converter(target, texels, width);
        else
            memcpy(target, texels, destinationBytes);
    }
}

bool writeRows(const TextureRecord *record, IDirectDrawSurface7 *surface, FxU32 level, const FxU8 *source,
               FxU32 firstRow, FxU32 lastRow) {
    DDSURFACEDESC2 desc;
    if (!lockLevel(record, surface, level, desc)) return false;
    fillRows(record, level, desc, source, firstRow, lastRow);
    if (record->keyedRange.enabled)
        keyRowsInRange(record,
                       static_cast<FxU8 *>(desc.lpSurface) + static_cast<size_t>(firstRow) * desc.lPitch,
                       desc.lPitch, levelWidth(record, level), lastRow - firstRow + 1);
    surface->Unlock(NULL);
    return true;
}

// Same pixel format on both sides: rows are copied as they are.
bool copyLevel(const TextureRecord *record, IDirectDrawSurface7 *from, IDirectDrawSurface7 *to, FxU32 level) {
    DDSURFACEDESC2 source, target;
    if (!lockLevel(record, from, level, source)) return false;
    bool locked = lockLevel(record, to, level, target);
    if (locked) {
        const size_t rowBytes =
            static_cast<size_t>(levelWidth(record, level)) * record->formatRow.destinationBytes;
        for (FxU32 y = 0; y < levelHeight(record, level); ++y)
            memcpy(static_cast<FxU8 *>(target.lpSurface) + static_cast<size_t>(y) * target.lPitch,
                   static_cast<const FxU8 *>(source.lpSurface) + static_cast<size_t>(y) * source.lPitch,
                   rowBytes);
        to->Unlock(NULL);
    }
    from->Unlock(NULL);
    return locked;
}

bool copyLevels(const TextureRecord *record, IDirectDrawSurface7 *from, IDirectDrawSurface7 *to,
                FxU32 levels) {
    bool copied = true;
    for (FxU32 level = 0; level < levels && copied; ++level) {
        IDirectDrawSurface7 *source = acquireLevel(from, level);
        IDirectDrawSurface7 *target = acquireLevel(to, level);
        copied = copyLevel(record, source, target, level);
        releaseLevel(source, level);
        releaseLevel(target, level);
    }
    return copied;
}

size_t chainTexels(const TextureRecord *record, FxU32 levels) {
    size_t texels = 0;
    for (FxU32 level = 0; level < levels; ++level)
        texels += static_cast<size_t>(levelWidth(record, level)) * levelHeight(record, level);
    return texels;
}

// The soft copy of a longer chain keeps the levels it had; the new ones start as zero texels.
bool growSoftCopy(TextureRecord *record, FxU32 levelCount) {
    if (record->softCopy == NULL) return true;
    const size_t oldBytes = chainTexels(record, record->levelCount) * record->formatRow.sourceBytes;
    const size_t newBytes = chainTexels(record, levelCount) * record->formatRow.sourceBytes;
    FxU8 *grown = static_cast<FxU8 *>(realloc(record->softCopy, newBytes));
    if (grown == NULL) return false;
    memset(grown + oldBytes, 0, newBytes - oldBytes);
    record->softCopy = grown;
    return true;
}

} // namespace

FxU32 levelWidth(const TextureRecord *record, FxU32 level) {
    FxU32 width = record->width >> level;
    return width != 0 ? width : 1;
}

FxU32 levelHeight(const TextureRecord *record, FxU32 level) {
    FxU32 height = record->height >> level;
    return height != 0 ? height : 1;
}

size_t levelTexelOffset(const TextureRecord *record, FxU32 level) {
    return chainTexels(record, level);
}

bool writeLevels(TextureRecord *record, const FxU8 *source) {
    const size_t sourceBytes = record->formatRow.sourceBytes;
    for (FxU32 level = 0; level < record->levelCount; ++level) {
        IDirectDrawSurface7 *surface = acquireLevel(record->surface, level);
        bool written =
            writeRows(record, surface, level, source + levelTexelOffset(record, level) * sourceBytes, 0,
                      levelHeight(record, level) - 1);
        releaseLevel(surface, level);
        if (!written) return false;
    }
    return true;
}

// Kept texels are stored first, so that a later palette or NCC change converts the new rows as well.
void writeTextureLevel(TextureRecord *record, const TextureLevelRows &rows) {
    if (record == NULL || record->surface == NULL || rows.data == NULL || rows.level >= record->levelCount)
        return;
    const FxU32 height = levelHeight(record, rows.level);
    const FxU32 lastRow = rows.lastRow < height ? rows.lastRow : height - 1;
    if (rows.firstRow > lastRow) return;
    const FxU8 *source = static_cast<const FxU8 *>(rows.data);
    if (record->softCopy != NULL) {
        const size_t rowBytes =
            static_cast<size_t>(levelWidth(record, rows.level)) * record->formatRow.sourceBytes;
        FxU8 *kept = record->softCopy + levelTexelOffset(record, rows.level) * record->formatRow.sourceBytes +
                     rows.firstRow * rowBytes;
        memcpy(kept, source, (lastRow - rows.firstRow + 1) * rowBytes);
        source = kept;
        if (decodesNcc(record)) prepareNccDecoding(static_cast<FxI32>(record->tmu));
    }
    IDirectDrawSurface7 *surface = acquireLevel(record->surface, rows.level);
    writeRows(record, surface, rows.level, source, rows.firstRow, lastRow);
    releaseLevel(surface, rows.level);
}

// A bound texture is bound again, so that its stage draws from the new chain.
bool growTextureChain(TextureRecord *record, FxU32 levelCount) {
    if (record == NULL || record->surface == NULL || levelCount <= record->levelCount ||
        levelCount > maxMipmapLevels)
        return false;
    IDirectDrawSurface7 *old = record->surface;
    const FxU32 oldCount = record->levelCount;
    record->levelCount = levelCount;
    bool grown = createRecordSurface(record);
    if (grown) {
        grown = copyLevels(record, old, record->surface, oldCount) &&
                (!record->formatRow.paletted || record->formatRow.softwarePalette || attachPalette(record));
        if (!grown) record->surface->Release();
    }
    if (grown) {
        record->levelCount = oldCount;
        grown = growSoftCopy(record, levelCount);
        record->levelCount = levelCount;
        if (!grown) record->surface->Release();
    }
    if (!grown) {
        record->surface = old;
        record->levelCount = oldCount;
        return false;
    }
    old->Release();
    setSurfaceColorKey(record);
    const FxI32 tmu = static_cast<FxI32>(record->tmu);
    if (deviceTextures.currentTexture[tmu] == record) sendTexture(record->tmu, record->surface);
    return true;
}
