// The settings program and tessel2 share nothing but the store: what the dialog saves must be what
// tessel2's readSettings takes from it.
#include "dialog_test_support.h"

#include <commctrl.h>

#include "library_rules.h"
#include "core/library_settings.h"

namespace {

using SettingsRoundTrip = DialogTest;

struct Expected {
    int32_t ColorDepth, Fog, Antialiasing, ZFast, TripleBuffer, Oversample, FightingForceFix, WaveRace,
        Filtering, TMU;
};

TEST_F(SettingsRoundTrip, WhatTheDialogSavesIsWhatTessel2Reads) {
    const struct {
        const char *what;
        std::function<void(HWND)> user;
        Expected read;
    } cases[] = {
        {"Ok on a fresh machine", [](HWND) {}, {16, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
        {"32 bits, texture filtering off, every fix on",
         [](HWND dialog) {
             choose(dialog, IDC_COLOR_DEPTH, 1);
             click(dialog, IDC_TEXTURE_FILTERING);
             click(dialog, IDC_OVERSAMPLING);
             click(dialog, IDC_FIGHTING_FORCE);
             click(dialog, IDC_ALTERNATE_LIGHTING);
             click(dialog, IDC_MULTITEXTURE);
         },
         {32, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        // At 32 bits tessel2 forces the fast depth mode whatever the box says.
        {"32 bits without fast depth, fog and antialiasing off",
         [](HWND dialog) {
             choose(dialog, IDC_COLOR_DEPTH, 1);
             click(dialog, IDC_ZFAST);
             click(dialog, IDC_FOG);
             click(dialog, IDC_ANTIALIASING);
             click(dialog, IDC_TRIPLE_BUFFER);
         },
         {32, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
        {"16 bits without fast depth",
         [](HWND dialog) { click(dialog, IDC_ZFAST); },
         {16, 1, 1, 0, 1, 0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        EXPECT_EQ(runSettingsDialog([&](HWND dialog) {
                      c.user(dialog);
                      press(dialog, IDOK);
                  }),
                  1);
        // Garbage first, so that every field must come from the store.
        std::memset(&settings, 0x5A, sizeof(settings));
        readSettings(glide2Rules.settings);
        EXPECT_EQ(settings.ColorDepth, c.read.ColorDepth);
        EXPECT_EQ(settings.Fog, c.read.Fog);
        EXPECT_EQ(settings.Antialiasing, c.read.Antialiasing);
        EXPECT_EQ(settings.ZFast, c.read.ZFast);
        EXPECT_EQ(settings.TripleBuffer, c.read.TripleBuffer);
        EXPECT_EQ(settings.Oversample, c.read.Oversample);
        EXPECT_EQ(settings.FightingForceFix, c.read.FightingForceFix);
        EXPECT_EQ(settings.WaveRace, c.read.WaveRace);
        EXPECT_EQ(settings.Filtering, c.read.Filtering);
        EXPECT_EQ(settings.TMU, c.read.TMU);
    }
}

// The other way round: what tessel2 acts on is what the dialog shows, and saving keeps its meaning.
TEST_F(SettingsRoundTrip, ReopeningTheDialogShowsWhatTessel2Uses) {
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Oversample", 2);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "ColorDepth", 24);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "TMU", 1);
    runSettingsDialog([](HWND dialog) {
        EXPECT_FALSE(checked(dialog, IDC_OVERSAMPLING)); // tessel2 presents every frame unless exactly 1
        press(dialog, IDOK);
    });
    std::memset(&settings, 0, sizeof(settings));
    readSettings(glide2Rules.settings);
    EXPECT_EQ(settings.Oversample, 0);
    EXPECT_EQ(settings.ColorDepth, 32);
    EXPECT_EQ(settings.TMU, 1);
}

TEST_F(SettingsRoundTrip, AWindowAsLargeAsFitsWithCappedPacingIsWhatTessel2Reads) {
    EXPECT_EQ(runSettingsDialog([](HWND dialog) {
                  click(dialog, IDC_FULLSCREEN);
                  HWND slider = GetDlgItem(dialog, IDC_RESOLUTION_SLIDER);
                  SendMessageA(slider, TBM_SETPOS, TRUE, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
                  sim::dialogMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                                     reinterpret_cast<LPARAM>(slider));
                  choose(dialog, IDC_FRAME_PACING, framePacingAt60);
                  press(dialog, IDOK);
              }),
              1);
    std::memset(&settings, 0x5A, sizeof(settings));
    readSettings(glide2Rules.settings);
    EXPECT_EQ(settings.Windowed, 1);
    EXPECT_EQ(settings.WindowScale, windowScaleLargest);
    EXPECT_EQ(settings.FramePacing, framePacingAt60);
}

} // namespace
