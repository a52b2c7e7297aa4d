// The 3dfx board the libraries report, chosen by the Card setting: what that board's own runtime answered
// when a game asked what it runs on, and the emulation sized to match (texture units, texture memory).
#ifndef KESTRIX_CARD_PROFILES_H
#define KESTRIX_CARD_PROFILES_H

#include <stdint.h>

#include "../glide_values.h"

// The Card setting's numbers; anything else reports the default board.
enum CardModel {
    cardVoodooGraphics = 0,
    cardVoodooRush = 1,
    cardVoodoo2 = 2,
    cardVoodooBanshee = 3,
    cardVoodoo3 = 4,
    cardModelCount
};

// Extensions a board's Glide 3 runtime announced, as bits.
const FxU32 extensionTexMirror = 0x1;
const FxU32 extensionChromaRange = 0x2;
const FxU32 extensionTexChroma = 0x4;
const FxU32 extensionPalette6666 = 0x8;
const FxU32 extensionGetGamma = 0x10;
const FxU32 extensionFogCoord = 0x20;

// Board types in the numbering of grSstQueryHardware.
const FxI32 boardTypeVoodoo = 0;
const FxI32 boardTypeSst96 = 1;
const FxI32 boardTypeVoodoo2 = 3;
const FxI32 boardTypeBanshee = 4;
const FxI32 boardTypeVoodoo3 = 5;
// What the default board has always answered with the TMU setting on.
const FxI32 boardTypeVoodooTwoTmus = 6;

const FxU32 mebibyte = 0x100000;

struct CardProfile {
    const char *hardwareName;  // GR_HARDWARE; null: the display adapter's own description
    const char *glide2Version; // grGlideGetVersion
    const char *glide3Version; // GR_VERSION
    FxI32 boardType;
    FxU32 frameBufferMiB;
    FxU32 textureMiBPerUnit; // what each TMU can address
    FxU32 unifiedMiB;        // memory the textures share with the frame buffer (GR_MEMORY_UMA); 0: none
    FxI32 textureUnits;      // 0: one, or two with the TMU setting
    FxI32 fbiRevision;       // grSstQueryHardware
    FxI32 tmuRevision;
    FxI32 glide3FbRevision;  // GR_REVISION_FB
    FxI32 glide3TmuRevision; // GR_REVISION_TMU
    FxU32 extensions;        // announced by Glide 3 (TEXMIRROR only where the device mirrors)
};

// The board of the Card setting read at grGlideInit.
const CardProfile &cardProfile();
const CardProfile &cardProfileOf(FxI32 card);
int cardTextureUnits();
bool cardHasSecondTmu();
// Bytes of texture memory each TMU addresses, and the highest start address a texture may take there.
FxU32 textureAddressLimit();
FxU32 highestTextureAddress();
FxU32 cardFrameBufferBytes();
FxU32 cardUnifiedBytes();
// The board's extensions this device can carry, none without an open session.
FxU32 offeredExtensions();

#endif
