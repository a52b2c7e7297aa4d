#include "texture_memory.h"

#include <stdlib.h>
#include <string.h>

#include "../render/combine_stages.h"
#include "../render/render_state.h"
#include "../core/render_context.h"
#include "../render/saved_state.h"
#include "texture_state.h"

namespace {

const int largestSideLog2 = 8;   // 256 texels
const int largestAspectLog2 = 3; // 8 to 1

void forgetIfCurrent(TextureRecord *record) {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        if (deviceTextures.currentTexture[tmu] != record) continue;
        deviceTextures.currentTexture[tmu] = NULL;
        deviceTextures.textureEnabled[tmu] = 0;
    }
}

// The first range that ends after address; ranges are disjoint, so ends rise with starts.
int firstEndingAfter(const TextureUnitMemory &memory, FxU32 address) {
    int low = 0, high = memory.count;
    while (low < high) {
        int middle = (low + high) / 2;
        if (memory.ranges[middle].end > address)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

FxU32 texelBytes(FxI32 format) {
    return format >= texFmt16Bit ? 2u : 1u;
}

} // namespace

// The short side of a long texture stops at one texel while the long side goes on shrinking.
FxU32 mipChainBytes(const MipChain &chain) {
    if (chain.largeLog2 < 0 || chain.largeLog2 > largestSideLog2 || chain.smallLog2 < 0 ||
        chain.smallLog2 > chain.largeLog2 || chain.aspectLog2 < -largestAspectLog2 ||
        chain.aspectLog2 > largestAspectLog2 || chain.format < 0 || chain.format >= glideTextureFormatCount)
        return 0;
    FxU32 texels = 0;
    for (int side = chain.largeLog2; side >= chain.smallLog2; --side) {
        FxU32 parity = (side & 1) ? levelMaskOdd : levelMaskEven;
        if ((chain.levelMask & parity) == 0) continue;
        int widthLog2 = chain.aspectLog2 < 0 ? side + chain.aspectLog2 : side;
        int heightLog2 = chain.aspectLog2 > 0 ? side - chain.aspectLog2 : side;
        texels += (1u << (widthLog2 > 0 ? widthLog2 : 0)) * (1u << (heightLog2 > 0 ? heightLog2 : 0));
    }
    FxU32 bytes = texels * texelBytes(chain.format);
    return (bytes + textureMemoryAlignment - 1) & ~(textureMemoryAlignment - 1);
}

// A second grGlideInit starts with empty texture memory; the textures of the first go.
void allocateTextureMemory() {
    freeTextureMemory();
    textureState.textureMemoryAllocated = true;
}

void freeTextureMemory() {
    releaseAllTextures();
    textureState.textureMemoryAllocated = false;
}

void abandonTextureMemory() {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        TextureUnitMemory &memory = textureState.textureMemory[tmu];
        for (int i = 0; i < memory.count; ++i)
            abandonTextureRecord(memory.ranges[i].record);
        memory.count = 0;
        deviceTextures.currentTexture[tmu] = NULL;
        deviceTextures.textureEnabled[tmu] = 0;
    }
    textureState.textureMemoryAllocated = false;
}

// The device is not told: a stage keeps the surface last handed to it, holding its own reference, until
// the next bind or until the device goes.
void releaseAllTextures() {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        TextureUnitMemory &memory = textureState.textureMemory[tmu];
        for (int i = 0; i < memory.count; ++i)
            destroyTextureRecord(memory.ranges[i].record);
        memory.count = 0;
        deviceTextures.currentTexture[tmu] = NULL;
        deviceTextures.textureEnabled[tmu] = 0;
    }
}

bool isTextureAddress(FxI32 tmu, FxU32 startAddress) {
    return textureState.textureMemoryAllocated && (tmu == tmu0 || tmu == tmu1) &&
           startAddress < textureAddressLimit();
}

TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress) {
    if (!isTextureAddress(tmu, startAddress)) return NULL;
    const TextureUnitMemory &memory = textureState.textureMemory[tmu];
    int i = firstEndingAfter(memory, startAddress);
    if (i < memory.count && memory.ranges[i].start == startAddress) return memory.ranges[i].record;
    return NULL;
}

namespace {

// Files the record over [startAddress, startAddress + bytes), destroying every texture it overlaps. A chain
// that runs past the end of memory is kept up to the end.
void fileTexture(FxI32 tmu, FxU32 startAddress, FxU32 bytes, TextureRecord *record) {
    FxU32 end = bytes < textureAddressLimit() - startAddress ? startAddress + bytes : textureAddressLimit();
    if (end == startAddress) ++end;
    TextureUnitMemory &memory = textureState.textureMemory[tmu];
    int first = firstEndingAfter(memory, startAddress);
    int last = first;
    while (last < memory.count && memory.ranges[last].start < end)
        ++last;
    if (memory.count - (last - first) >= texturesPerUnit) {
        destroyTextureRecord(record);
        return;
    }
    for (int i = first; i < last; ++i) {
        forgetIfCurrent(memory.ranges[i].record);
        destroyTextureRecord(memory.ranges[i].record);
    }
    int kept = first + 1;
    if (last != kept)
        memmove(&memory.ranges[kept], &memory.ranges[last],
                static_cast<size_t>(memory.count - last) * sizeof(TextureRange));
    memory.count += kept - last;
    memory.ranges[first] = TextureRange{startAddress, end, record};
}

bool holdsChainOf(const TextureRecord *record, const TextureDownload &chain) {
    return record != NULL && record->width == chain.width && record->height == chain.height &&
           record->format == chain.format;
}

} // namespace

void downloadTexture(FxI32 tmu, FxU32 startAddress, FxU32 bytes, const TextureDownload &download) {
    if (!isTextureAddress(tmu, startAddress) || renderContext.ddraw == NULL || download.data == NULL) return;
    TextureRecord *record = createTextureRecord(tmu, download, lookupTexture(tmu, startAddress));
    if (record == NULL) return; // a failed download leaves memory as it was
    fileTexture(tmu, startAddress, bytes, record);
}

// As on the board, a level lands in the chain already at the address, whichever level came first; the chain
// holds the levels down to the smallest one sent.
void downloadTextureLevel(FxI32 tmu, FxU32 startAddress, FxU32 bytes, const TextureDownload &chain,
                          const TextureLevelRows &rows) {
    if (!isTextureAddress(tmu, startAddress) || renderContext.ddraw == NULL || rows.level >= maxMipmapLevels)
        return;
    TextureRecord *record = lookupTexture(tmu, startAddress);
    if (holdsChainOf(record, chain)) {
        if (rows.level < record->levelCount || growTextureChain(record, rows.level + 1))
            writeTextureLevel(record, rows);
        return;
    }
    TextureDownload empty = chain;
    empty.levelCount = rows.level + 1;
    empty.data = NULL;
    record = createTextureRecord(tmu, empty);
    if (record == NULL) return;
    writeTextureLevel(record, rows);
    fileTexture(tmu, startAddress, bytes, record);
}

void selectTextureSource(FxI32 tmu, FxU32 startAddress) {
    if (renderContext.device == NULL) return;
    bool none = startAddress == noTextureSource && (tmu == tmu0 || tmu == tmu1);
    if (!none && !isTextureAddress(tmu, startAddress)) return;
    stateCalls.units[tmu].sourceAddress = startAddress;
    markKnown(static_cast<FxU32>(groupTextureSource) << tmu);
    bindTexture(tmu, none ? NULL : lookupTexture(tmu, startAddress));
    // Stage 1 brings TMU 1's texture in only while one is bound.
    if (tmu == tmu1) refreshCombineStages();
}

void bindTexture(FxI32 tmu, TextureRecord *record) {
    if (tmu != tmu0 && tmu != tmu1) return;
    deviceTextures.currentTexture[tmu] = record;
    deviceTextures.textureEnabled[tmu] = 0;
    if (record == NULL) {
        sendTexture(static_cast<DWORD>(tmu), NULL);
        return;
    }
    deviceTextures.textureEnabled[tmu] = 1;
    applyPalette(record);
    applyNccTable(record);
    applyColorKey(record);
    sendTexture(static_cast<DWORD>(tmu), record->surface);
}

void rebindCurrentTexture(FxI32 tmu) {
    if ((tmu != tmu0 && tmu != tmu1) || renderContext.device == NULL) return;
    bindTexture(tmu, deviceTextures.currentTexture[tmu]);
}

// The board keys every texel it draws against the current value, so textures downloaded earlier follow it.
void setChromakeyValue(FxU32 argb) {
    renderState.chromakeyValue = argb;
    stateCalls.chromakeyValue = argb;
    markKnown(groupChromakeyValue);
    for (int tmu = 0; tmu < textureUnitCount; ++tmu)
        if (deviceTextures.currentTexture[tmu] != NULL) applyColorKey(deviceTextures.currentTexture[tmu]);
}
