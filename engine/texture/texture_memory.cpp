#include "texture_memory.h"
#include "../session/engine_state.h"

#include <stdlib.h>

#include "../session/render_context.h"
#include "../render/saved_state.h"

namespace {

int slotIndex(FxI32 tmu, FxU32 startAddress) {
    return tmu * slotsPerTextureUnit + static_cast<int>(startAddress >> 10);
}

void forgetIfCurrent(TextureRecord *record) {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        if (textureState.currentTexture[tmu] != record) continue;
        textureState.currentTexture[tmu] = NULL;
        textureState.textureEnabled[tmu] = 0;
    }
}

} // namespace

// A second grGlideInit starts with empty texture memory; the textures of the first go.
void allocateTextureMemory() {
    freeTextureMemory();
    textureState.textureMemory = textureState.slotTable;
}

void freeTextureMemory() {
    releaseAllTextures();
    textureState.textureMemory = NULL;
}

// The device is not told: a stage keeps the surface last handed to it, holding its own reference, until
// the next bind or until the device goes.
void releaseAllTextures() {
    if (textureState.textureMemory != NULL) {
        for (int slot = 0; slot < slotCount && textureState.filledSlots > 0; ++slot) {
            if (textureState.textureMemory[slot] == NULL) continue;
            destroyTextureRecord(textureState.textureMemory[slot]);
            textureState.textureMemory[slot] = NULL;
            --textureState.filledSlots;
        }
    }
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        textureState.currentTexture[tmu] = NULL;
        textureState.textureEnabled[tmu] = 0;
    }
}

bool isTextureSlot(FxI32 tmu, FxU32 startAddress) {
    return textureState.textureMemory != NULL && (tmu == tmu0 || tmu == tmu1) &&
           startAddress < textureAddressLimit;
}

TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress) {
    if (!isTextureSlot(tmu, startAddress)) return NULL;
    return textureState.textureMemory[slotIndex(tmu, startAddress)];
}

// Every download makes a new surface, also when the same texture comes to the same address again.
void downloadTexture(FxI32 tmu, FxU32 startAddress, const TextureDownload &download) {
    if (!isTextureSlot(tmu, startAddress) || context.ddraw == NULL) return;
    TextureRecord *record = createTextureRecord(tmu, download);
    if (record == NULL) return; // a failed download leaves the slot as it was

    TextureRecord *&slot = textureState.textureMemory[slotIndex(tmu, startAddress)];
    if (slot != NULL) {
        forgetIfCurrent(slot);
        destroyTextureRecord(slot);
    } else {
        ++textureState.filledSlots;
    }
    slot = record;
}

void selectTextureSource(FxI32 tmu, FxU32 startAddress) {
    if (context.device == NULL) return;
    bool none = startAddress == noTextureSource && (tmu == tmu0 || tmu == tmu1);
    if (!none && !isTextureSlot(tmu, startAddress)) return;
    stateCalls.units[tmu].sourceAddress = startAddress;
    markKnown(static_cast<FxU32>(groupTextureSource) << tmu);
    bindTexture(tmu, none ? NULL : lookupTexture(tmu, startAddress));
}

void bindTexture(FxI32 tmu, TextureRecord *record) {
    if (tmu != tmu0 && tmu != tmu1) return;
    textureState.currentTexture[tmu] = record;
    textureState.textureEnabled[tmu] = 0;
    if (record == NULL) {
        if (context.device) context.device->SetTexture(static_cast<DWORD>(tmu), NULL);
        return;
    }
    textureState.textureEnabled[tmu] = 1;
    applyPalette(record);
    if (context.device) context.device->SetTexture(static_cast<DWORD>(tmu), record->surface);
}
