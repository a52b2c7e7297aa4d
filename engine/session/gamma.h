// What the screen shows through the game's gamma table and the user's Gamma setting: loaded into the
// display's own ramp in full-screen where the driver has one, otherwise looked up in every presented frame.
#ifndef KESTRIX_GAMMA_H
#define KESTRIX_GAMMA_H

#include <windows.h>
#include <ddraw.h>

#include "../glide_values.h"

// The table Glide 3 announces (GR_GAMMA_TABLE_ENTRIES, GR_BITS_GAMMA) is the one applied.
const FxU32 gammaTableEntries = 256;
const FxI32 gammaTableBits = 8;

const int gammaChannelCount = 3;

// The table as the game set it, linear from grGlideInit on. Part of the session's records
// (state_groups.h).
struct GameGammaTable {
    FxU8 channels[gammaChannelCount][gammaTableEntries];
};

constexpr GameGammaTable linearGammaTable() {
    GameGammaTable table{};
    for (int c = 0; c < gammaChannelCount; ++c)
        for (FxU32 i = 0; i < gammaTableEntries; ++i)
            table.channels[c][i] = static_cast<FxU8>(i);
    return table;
}

// What the screen shows: the game's table with the user's setting on top; at grGlideInit, once the settings
// are read.
void composeShownGamma();
// grGammaCorrectionValue and guGammaCorrectionRGB: each channel's table follows the power 1/gamma.
void setGammaCorrection(float red, float green, float blue);
// grLoadGammaTable: the first entries of each channel, 8 bits each.
void loadGammaTable(FxU32 entries, const FxU32 *red, const FxU32 *green, const FxU32 *blue);
// The game's table as it loaded it, without the user's setting.
void readGammaTable(FxU32 entries, FxU32 *red, FxU32 *green, FxU32 *blue);
// Sends the table to the display, or keeps it for the lookup; at open and after each change.
void applyGamma();
// Puts the display's ramp back to linear before the session closes.
void restoreScreenGamma();
// In a window: the frame to show, corrected in a copy of its own when the lookup applies.
IDirectDrawSurface7 *gammaCorrectedFrame(IDirectDrawSurface7 *frame);
void releaseGammaSurfaces();
// Whether shown frames go through the lookup: a table other than linear that the display's ramp lacks.
bool gammaLookupApplies();
// Full-screen: the lookup on a frame about to be shown, when the display's ramp does not carry the table.
void correctPresentedFrame(IDirectDrawSurface7 *surface);

#endif
