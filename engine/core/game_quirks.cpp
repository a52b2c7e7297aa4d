#include "game_quirks.h"

#include <string.h>

#include "library_state.h"

namespace {

constexpr int32_t LibrarySettings::*noSetting = nullptr;

} // namespace

const GameQuirk gameQuirks[] = {
    {
        .game = "UltraHLE (Nintendo 64 emulator)",
        .reason = "its menu bar stays visible when its window sits lower",
        .trigger = QuirkTrigger::windowTitlePrefix,
        .match = "UltraHLE",
        .setting = noSetting,
        .effect = QuirkEffect::windowMovedDown,
    },
    {
        .game = "SupraHLE (Nintendo 64 emulator)",
        .reason = "its menu bar stays visible when its window sits lower",
        .trigger = QuirkTrigger::windowTitlePrefix,
        .match = "SupraHLE",
        .setting = noSetting,
        .effect = QuirkEffect::windowMovedDown,
    },
    {
        .game = "HydraHLE (Nintendo 64 emulator)",
        .reason = "its menu bar stays visible when its window sits lower",
        .trigger = QuirkTrigger::windowTitlePrefix,
        .match = "HydraHLE",
        .setting = noSetting,
        .effect = QuirkEffect::windowMovedDown,
    },
    {
        .game = "M.I.M.I.X (Nintendo 64 emulator)",
        .reason = "its menu bar stays visible when its window sits lower",
        .trigger = QuirkTrigger::windowTitlePrefix,
        .match = "M.I.M.I.X",
        .setting = noSetting,
        .effect = QuirkEffect::windowMovedDown,
    },
    {
        .game = "Quake, Quake II and their engines' games",
        .reason = "made for the Voodoo's 16-bit screen, they pick their own texture filters",
        .trigger = QuirkTrigger::windowTitlePrefix,
        .match = "Quake",
        .setting = noSetting,
        .effect = QuirkEffect::voodooScreenKept,
    },
    {
        .game = "Wave Race 64 under a Nintendo 64 emulator",
        .reason = "its water, texture times vertex colour, is drawn far too dark that way",
        .trigger = QuirkTrigger::settingNonZero,
        .match = "WaveRace",
        .setting = &LibrarySettings::WaveRace,
        .effect = QuirkEffect::waterTexturePlusVertexQuarter,
    },
    {
        .game = "Fighting Force",
        .reason = "a setting named after the game; Glide 2 honours it, Glide 3 does not",
        .trigger = QuirkTrigger::settingIsOne,
        .match = "FightingForceFix",
        .setting = &LibrarySettings::FightingForceFix,
        .effect = QuirkEffect::pictureTurned,
    },
    {
        .game = "games that write the frame buffer with the board's fixed stride (none named yet)",
        .reason = "the boards' 16-bit buffers had rows 2048 bytes apart up to 1024 pixels wide, and such a "
                  "game steps by that instead of the stride the lock answered",
        .trigger = QuirkTrigger::settingNonZero,
        .match = "LfbStride2048",
        .setting = &LibrarySettings::LfbStride2048,
        .effect = QuirkEffect::boardStride,
    },
};

const int gameQuirkCount = sizeof(gameQuirks) / sizeof(gameQuirks[0]);

namespace {

bool matches(const GameQuirk &quirk) {
    switch (quirk.trigger) {
    case QuirkTrigger::windowTitlePrefix:
        return strncmp(library.windowTitle, quirk.match, strlen(quirk.match)) == 0;
    case QuirkTrigger::settingNonZero:
        return settings.*quirk.setting != 0;
    case QuirkTrigger::settingIsOne:
        return settings.*quirk.setting == 1;
    }
    return false;
}

} // namespace

namespace {

uint32_t effectBit(QuirkEffect effect) {
    return 1u << static_cast<uint32_t>(effect);
}

uint32_t decidedEffects = 0;

} // namespace

void decideQuirks() {
    decidedEffects = 0;
    for (const GameQuirk &quirk : gameQuirks)
        if (matches(quirk)) decidedEffects |= effectBit(quirk.effect);
}

bool quirkApplies(QuirkEffect effect) {
    return (decidedEffects & effectBit(effect)) != 0;
}
