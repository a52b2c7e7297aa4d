#include "texture_memory.h"

#include <stdlib.h>

#include "../session/render_context.h"

TextureRecord **textureMemory;
TextureRecord *currentTexture[textureUnitCount];
FxU32 textureEnabled[textureUnitCount];

namespace {

const int slotCount = textureUnitCount * slotsPerTextureUnit;
// Games reset texture memory every level and close with it nearly empty: the walk stops at the last one.
// Every slot of the table is null whenever filledSlots is 0.
TextureRecord *slotTable[slotCount];
int filledSlots;

int slotIndex(FxI32 tmu, FxU32 startAddress) {
    return tmu * slotsPerTextureUnit + static_cast<int>(startAddress >> 10);
}

void forgetIfCurrent(TextureRecord *record) {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        if (currentTexture[tmu] != record) continue;
        currentTexture[tmu] = NULL;
        textureEnabled[tmu] = 0;
    }
}

} // namespace

// A second grGlideInit starts with empty texture memory; the textures of the first go.
void allocateTextureMemory() {
    freeTextureMemory();
    textureMemory = slotTable;
}

void freeTextureMemory() {
    releaseAllTextures();
    textureMemory = NULL;
}

// The device is not told: a stage keeps the surface last handed to it, holding its own reference, until
// the next bind or until the device goes.
void releaseAllTextures() {
    if (textureMemory != NULL) {
        for (int slot = 0; slot < slotCount && filledSlots > 0; ++slot) {
            if (textureMemory[slot] == NULL) continue;
            destroyTextureRecord(textureMemory[slot]);
            textureMemory[slot] = NULL;
            --filledSlots;
        }
    }
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        currentTexture[tmu] = NULL;
        textureEnabled[tmu] = 0;
    }
}

void resetTextureUnits() {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        currentTexture[tmu] = NULL;
        textureEnabled[tmu] = 0;
    }
    forgetTextureClampModes();
}

bool isTextureSlot(FxI32 tmu, FxU32 startAddress) {
    return textureMemory != NULL && (tmu == tmu0 || tmu == tmu1) && startAddress < textureAddressLimit;
}

TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress) {
    if (!isTextureSlot(tmu, startAddress)) return NULL;
    return textureMemory[slotIndex(tmu, startAddress)];
}

// Every download makes a new surface, also when the same texture comes to the same address again.
void downloadTexture(FxI32 tmu, FxU32 startAddress, const TextureDownload &download) {
    if (!isTextureSlot(tmu, startAddress) || context.ddraw == NULL) return;
    TextureRecord *record = createTextureRecord(tmu, download);
    if (record == NULL) return; // a failed download leaves the slot as it was

    TextureRecord *&slot = textureMemory[slotIndex(tmu, startAddress)];
    if (slot != NULL) {
        forgetIfCurrent(slot);
        destroyTextureRecord(slot);
    } else {
        ++filledSlots;
    }
    slot = record;
}

void bindTexture(FxI32 tmu, TextureRecord *record) {
    if (tmu != tmu0 && tmu != tmu1) return;
    currentTexture[tmu] = record;
    textureEnabled[tmu] = 0;
    if (record == NULL) {
        if (context.device) context.device->SetTexture(static_cast<DWORD>(tmu), NULL);
        return;
    }
    textureEnabled[tmu] = 1;
    applyPalette(record);
    if (context.device) context.device->SetTexture(static_cast<DWORD>(tmu), record->surface);
}
