// Per-game behaviour: what the library does differently for one game or one kind of program, and when.
// The table itself is in game_quirks.cpp, one entry per game with the reason, to be read top to bottom.
#ifndef KESTRIX_GAME_QUIRKS_H
#define KESTRIX_GAME_QUIRKS_H

#include <stdint.h>

#include "library_settings.h"

// What an entry does. The code that does it asks quirkApplies for its effect.
enum class QuirkEffect {
    windowMovedDown,  // the full-screen window moves down by emulatorWindowDrop pixels at open
    voodooScreenKept, // 16-bit colour and the application's own texture filters, whatever the settings
    waterTexturePlusVertexQuarter, // texture times vertex colour becomes texture plus a quarter of it
    pictureTurned,                 // the picture turns through 180 degrees
    boardStride,                   // 16-bit frame-buffer locks up to 1024 wide have a 2048-byte row stride
};

// How an entry recognises its game.
enum class QuirkTrigger {
    windowTitlePrefix, // the application's window title starts with `match` (read at the full-screen open)
    settingNonZero,    // the setting named `match` is not 0
    settingIsOne,      // the setting named `match` is 1
};

struct GameQuirk {
    const char *game;
    const char *reason;
    QuirkTrigger trigger;
    const char *match;                 // title prefix, or the setting's name in the store
    int32_t LibrarySettings::*setting; // the setting read, for the setting triggers
    QuirkEffect effect;
};

// How far the N64 emulators' window moves down.
const int emulatorWindowDrop = 100;

extern const GameQuirk gameQuirks[];
extern const int gameQuirkCount;

// Works out which effects apply from the window title read at open and the settings in force, walking the
// table once; whatever changes either calls it again. The vertex conversion asks for the turned picture at
// every primitive, where a walk of the table cost more than the rest of its preparation.
void decideQuirks();

// Whether an entry with this effect matched at the last decideQuirks.
bool quirkApplies(QuirkEffect effect);

#endif
