#include "gamma.h"

#include <math.h>
#include <string.h>

#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "state_groups.h"

namespace {

const int channelCount = gammaChannelCount;
const FxU32 largestEntry = 255;
const float hundredths = 100.0f;
// DirectDraw ramps run to 65535: each 8-bit entry repeated in both bytes.
const WORD rampScale = 257;

// What the display was given. The game's own table is one of the session's records.
struct GammaState {
    FxU8 shown[channelCount][gammaTableEntries]; // with the user's setting on top
    bool identity;                               // shown leaves every value as it is
    bool onDisplay;                              // the display's ramp carries shown
    bool rampLoaded;                             // a ramp other than linear was given to the display
    IDirectDrawSurface7 *windowCopy;             // the corrected frame a window shows
};

GammaState gammaState;

FxU8 powerCurve(FxU32 entry, float exponent) {
    float value = powf(static_cast<float>(entry) / largestEntry, exponent) * largestEntry + 0.5f;
    return static_cast<FxU8>(value > largestEntry ? largestEntry : value);
}

IDirectDrawGammaControl *displayGammaControl() {
    if (renderContext.windowed || renderContext.frontSurface == NULL || renderContext.ddraw == NULL)
        return NULL;
    DDCAPS caps;
    memset(&caps, 0, sizeof(caps));
    caps.dwSize = sizeof(caps);
    if (renderContext.ddraw->GetCaps(&caps, NULL) != DD_OK || (caps.dwCaps2 & DDCAPS2_PRIMARYGAMMA) == 0)
        return NULL;
    void *control = NULL;
    if (renderContext.frontSurface->QueryInterface(IID_IDirectDrawGammaControl, &control) != DD_OK)
        return NULL;
    return static_cast<IDirectDrawGammaControl *>(control);
}

bool loadDisplayRamp(bool linear) {
    IDirectDrawGammaControl *control = displayGammaControl();
    if (control == NULL) return false;
    DDGAMMARAMP ramp;
    WORD *channels[channelCount] = {ramp.red, ramp.green, ramp.blue};
    for (int c = 0; c < channelCount; ++c)
        for (FxU32 i = 0; i < gammaTableEntries; ++i)
            channels[c][i] = static_cast<WORD>((linear ? i : gammaState.shown[c][i]) * rampScale);
    bool loaded = control->SetGammaRamp(0, &ramp) == DD_OK;
    control->Release();
    return loaded;
}

// One channel of a pixel format: where its bits lie and how many there are.
struct ChannelBits {
    DWORD mask;
    int shift;
    FxU32 top; // the largest value the channel holds
};

ChannelBits channelBits(DWORD mask) {
    ChannelBits bits = {mask, 0, 0};
    if (mask == 0) return bits;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++bits.shift;
    }
    bits.top = mask;
    return bits;
}

// Each channel's values of the surface's format through the table, already back in place.
struct FrameLookup {
    DWORD keep; // bits that are no colour channel
    ChannelBits bits[channelCount];
    DWORD table[channelCount][gammaTableEntries];
};

bool buildLookup(const DDPIXELFORMAT &format, FrameLookup &lookup) {
    const DWORD masks[channelCount] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
    lookup.keep = ~(masks[0] | masks[1] | masks[2]);
    for (int c = 0; c < channelCount; ++c) {
        ChannelBits bits = channelBits(masks[c]);
        if (bits.top == 0 || bits.top > largestEntry) return false;
        lookup.bits[c] = bits;
        for (FxU32 v = 0; v <= bits.top; ++v) {
            FxU32 wide = (v * largestEntry + bits.top / 2) / bits.top;
            FxU32 narrow = (gammaState.shown[c][wide] * bits.top + largestEntry / 2) / largestEntry;
            lookup.table[c][v] = narrow << bits.shift;
        }
    }
    return true;
}

DWORD lookUp(const FrameLookup &lookup, DWORD pixel) {
    DWORD out = pixel & lookup.keep;
    for (int c = 0; c < channelCount; ++c)
        out |= lookup.table[c][(pixel & lookup.bits[c].mask) >> lookup.bits[c].shift];
    return out;
}

template <typename Pixel> void correctRows(const DDSURFACEDESC2 &desc, const FrameLookup &lookup) {
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        Pixel *row = reinterpret_cast<Pixel *>(static_cast<BYTE *>(desc.lpSurface) + y * desc.lPitch);
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            row[x] = static_cast<Pixel>(lookUp(lookup, row[x]));
    }
}

} // namespace

// The user's Gamma brightens (above 1.00) or darkens what the game's table gives.
void composeShownGamma() {
    const GameGammaTable &game = loadState.session.gameGamma;
    float user = boardChoice.Gamma > 0 ? boardChoice.Gamma / hundredths : 1.0f;
    gammaState.identity = true;
    for (int c = 0; c < channelCount; ++c)
        for (FxU32 i = 0; i < gammaTableEntries; ++i) {
            FxU8 value = game.channels[c][i];
            if (boardChoice.Gamma != gammaHundredthsNeutral) value = powerCurve(value, 1.0f / user);
            gammaState.shown[c][i] = value;
            if (value != i) gammaState.identity = false;
        }
}

void setGammaCorrection(float red, float green, float blue) {
    const float values[channelCount] = {red, green, blue};
    for (int c = 0; c < channelCount; ++c) {
        // A gamma of zero or less has no curve: the channel stays linear.
        float exponent = values[c] > 0.0f ? 1.0f / values[c] : 1.0f;
        for (FxU32 i = 0; i < gammaTableEntries; ++i)
            loadState.session.gameGamma.channels[c][i] = powerCurve(i, exponent);
    }
    applyGamma();
}

void loadGammaTable(FxU32 entries, const FxU32 *red, const FxU32 *green, const FxU32 *blue) {
    const FxU32 *tables[channelCount] = {red, green, blue};
    if (red == NULL || green == NULL || blue == NULL) return;
    if (entries > gammaTableEntries) entries = gammaTableEntries;
    for (int c = 0; c < channelCount; ++c)
        for (FxU32 i = 0; i < entries; ++i)
            loadState.session.gameGamma.channels[c][i] = static_cast<FxU8>(tables[c][i] & largestEntry);
    applyGamma();
}

void readGammaTable(FxU32 entries, FxU32 *red, FxU32 *green, FxU32 *blue) {
    FxU32 *tables[channelCount] = {red, green, blue};
    if (red == NULL || green == NULL || blue == NULL) return;
    if (entries > gammaTableEntries) entries = gammaTableEntries;
    for (int c = 0; c < channelCount; ++c)
        for (FxU32 i = 0; i < entries; ++i)
            tables[c][i] = loadState.session.gameGamma.channels[c][i];
}

void applyGamma() {
    composeShownGamma();
    gammaState.onDisplay = false;
    if (!renderContext.sessionOpen) return;
    if (gammaState.identity && !gammaState.rampLoaded) return;
    gammaState.onDisplay = loadDisplayRamp(false);
    gammaState.rampLoaded = gammaState.onDisplay && !gammaState.identity;
}

void restoreScreenGamma() {
    if (gammaState.rampLoaded) loadDisplayRamp(true);
    gammaState.rampLoaded = false;
    gammaState.onDisplay = false;
}

bool gammaLookupApplies() {
    return !gammaState.identity && !gammaState.onDisplay;
}

void correctPresentedFrame(IDirectDrawSurface7 *surface) {
    if (!gammaLookupApplies() || surface == NULL) return;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return;
    FrameLookup lookup;
    if (buildLookup(desc.ddpfPixelFormat, lookup)) {
        if (desc.ddpfPixelFormat.dwRGBBitCount == 16) correctRows<WORD>(desc, lookup);
        if (desc.ddpfPixelFormat.dwRGBBitCount == 32) correctRows<DWORD>(desc, lookup);
    }
    surface->Unlock(NULL);
}

namespace {

bool sameSize(IDirectDrawSurface7 *a, const DDSURFACEDESC2 &desc) {
    DDSURFACEDESC2 other;
    memset(&other, 0, sizeof(other));
    other.dwSize = sizeof(other);
    return a->GetSurfaceDesc(&other) == DD_OK && other.dwWidth == desc.dwWidth &&
           other.dwHeight == desc.dwHeight &&
           memcmp(&other.ddpfPixelFormat, &desc.ddpfPixelFormat, sizeof(DDPIXELFORMAT)) == 0;
}

// A system-memory surface like the frame, made again when the frame's size or format changed.
IDirectDrawSurface7 *windowCopyLike(IDirectDrawSurface7 *frame) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (frame->GetSurfaceDesc(&desc) != DD_OK) return NULL;
    if (gammaState.windowCopy != NULL && sameSize(gammaState.windowCopy, desc)) return gammaState.windowCopy;
    releaseGammaSurfaces();
    DDSURFACEDESC2 wanted;
    memset(&wanted, 0, sizeof(wanted));
    wanted.dwSize = sizeof(wanted);
    wanted.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    wanted.dwWidth = desc.dwWidth;
    wanted.dwHeight = desc.dwHeight;
    wanted.ddpfPixelFormat = desc.ddpfPixelFormat;
    wanted.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (renderContext.ddraw->CreateSurface(&wanted, &gammaState.windowCopy, NULL) != DD_OK)
        gammaState.windowCopy = NULL;
    return gammaState.windowCopy;
}

} // namespace

// The window may show the same frame several times (front-buffer writes, the splash): the frame itself is
// left as drawn and each showing is corrected from it.
IDirectDrawSurface7 *gammaCorrectedFrame(IDirectDrawSurface7 *frame) {
    if (gammaState.identity || gammaState.onDisplay || frame == NULL || renderContext.ddraw == NULL)
        return frame;
    IDirectDrawSurface7 *copy = windowCopyLike(frame);
    if (copy == NULL || copy->BltFast(0, 0, frame, NULL, DDBLTFAST_WAIT) != DD_OK) return frame;
    correctPresentedFrame(copy);
    return copy;
}

void releaseGammaSurfaces() {
    if (gammaState.windowCopy != NULL) gammaState.windowCopy->Release();
    gammaState.windowCopy = NULL;
}
