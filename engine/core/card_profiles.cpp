#include "card_profiles.h"

#include "library_settings.h"
#include "render_context.h"

namespace {

const FxI32 unitsByTmuSetting = 0;
// grTexMaxAddress leaves room for the smallest texture below the end of memory.
const FxU32 highestAddressMargin = 0x400;

// Memory sizes are each board's common retail configuration from its published data sheet; the default
// board keeps the answers Kestrix always gave, so games already set up for it see no change.
const CardProfile cardProfiles[cardModelCount] = {
    {
        .hardwareName = nullptr,
        .glide2Version = "2.60.00.2103",
        .glide3Version = "3.10",
        .boardType = boardTypeVoodoo,
        .frameBufferMiB = 8,
        .textureMiBPerUnit = 4,
        .unifiedMiB = 0,
        .textureUnits = unitsByTmuSetting,
        .fbiRevision = 1,
        .tmuRevision = 1,
        .glide3FbRevision = 0,
        .glide3TmuRevision = 0,
        .extensions = extensionTexMirror,
    },
    // Frame buffer shared with the board's 2D chip, one TMU with its own 2 MiB.
    {
        .hardwareName = "Voodoo Rush",
        .glide2Version = "2.46",
        .glide3Version = "3.0",
        .boardType = boardTypeSst96,
        .frameBufferMiB = 4,
        .textureMiBPerUnit = 2,
        .unifiedMiB = 0,
        .textureUnits = 1,
        .fbiRevision = 1,
        .tmuRevision = 1,
        .glide3FbRevision = 1,
        .glide3TmuRevision = 1,
        .extensions = extensionTexMirror,
    },
    // The 12 MiB board: 4 MiB of frame buffer and 4 MiB on each of the two TMUs.
    {
        .hardwareName = "Voodoo2",
        .glide2Version = "2.53",
        .glide3Version = "3.01",
        .boardType = boardTypeVoodoo2,
        .frameBufferMiB = 4,
        .textureMiBPerUnit = 4,
        .unifiedMiB = 0,
        .textureUnits = 2,
        .fbiRevision = 2,
        .tmuRevision = 2,
        .glide3FbRevision = 2,
        .glide3TmuRevision = 2,
        .extensions = extensionChromaRange | extensionTexMirror | extensionPalette6666 | extensionFogCoord |
                      extensionGetGamma,
    },
    // 16 MiB shared by frame buffer and textures: 4 MiB held for the buffers, 12 MiB for one TMU.
    {
        .hardwareName = "Voodoo Banshee",
        .glide2Version = "2.60.00.2103",
        .glide3Version = "3.10",
        .boardType = boardTypeBanshee,
        .frameBufferMiB = 4,
        .textureMiBPerUnit = 12,
        .unifiedMiB = 12,
        .textureUnits = 1,
        .fbiRevision = 3,
        .tmuRevision = 3,
        .glide3FbRevision = 3,
        .glide3TmuRevision = 3,
        .extensions = extensionChromaRange | extensionTexChroma | extensionTexMirror | extensionPalette6666 |
                      extensionFogCoord | extensionGetGamma,
    },
    // The 16 MiB Voodoo3 2000/3000: shared as on the Banshee, with two TMUs.
    {
        .hardwareName = "Voodoo3",
        .glide2Version = "2.60.00.2103",
        .glide3Version = "3.10",
        .boardType = boardTypeVoodoo3,
        .frameBufferMiB = 4,
        .textureMiBPerUnit = 12,
        .unifiedMiB = 12,
        .textureUnits = 2,
        .fbiRevision = 4,
        .tmuRevision = 4,
        .glide3FbRevision = 4,
        .glide3TmuRevision = 4,
        .extensions = extensionChromaRange | extensionTexChroma | extensionTexMirror | extensionPalette6666 |
                      extensionFogCoord | extensionGetGamma,
    },
};

} // namespace

const CardProfile &cardProfileOf(FxI32 card) {
    if (card < 0 || card >= cardModelCount) card = cardVoodooGraphics;
    return cardProfiles[card];
}

const CardProfile &cardProfile() {
    return cardProfileOf(boardChoice.Card);
}

int cardTextureUnits() {
    const CardProfile &card = cardProfile();
    if (card.textureUnits != unitsByTmuSetting) return card.textureUnits;
    return settings.TMU != 0 ? 2 : 1;
}

bool cardHasSecondTmu() {
    return cardTextureUnits() > 1;
}

FxU32 textureAddressLimit() {
    return cardProfile().textureMiBPerUnit * mebibyte;
}

FxU32 highestTextureAddress() {
    return textureAddressLimit() - highestAddressMargin;
}

FxU32 cardFrameBufferBytes() {
    return cardProfile().frameBufferMiB * mebibyte;
}

FxU32 cardUnifiedBytes() {
    return cardProfile().unifiedMiB * mebibyte;
}

// Direct3D 7 devices without mirrored addressing cannot honour TEXMIRROR; it is left out of the answer.
FxU32 offeredExtensions() {
    if (!renderContext.sessionOpen || renderContext.ddraw == NULL) return 0;
    FxU32 offered = cardProfile().extensions;
    if ((renderContext.deviceCaps.dpcTriCaps.dwTextureAddressCaps & D3DPTADDRESSCAPS_MIRROR) == 0)
        offered &= ~extensionTexMirror;
    return offered;
}
