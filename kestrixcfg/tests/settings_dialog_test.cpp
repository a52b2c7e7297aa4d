#include "dialog_test_support.h"

namespace {

using SettingsDialog = DialogTest;

const char *const storeNames[] = {"Antialiasing", "Fog",          "Oversample",       "ColorDepth",
                                  "ZFast",        "TripleBuffer", "FightingForceFix", "WaveRace",
                                  "Filtering",    "TMU"};

void storeAll(const DWORD (&values)[10]) {
    for (int i = 0; i < 10; ++i)
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, storeNames[i], values[i]);
}

struct BoxState {
    int id;
    bool checked;
};

TEST_F(SettingsDialog, OpensWithTheInitialStatesWithoutAStoreAndOkCreatesIt) {
    bool ran = false;
    sim::setDialogScript([&](HWND dialog) {
        ran = true;
        EXPECT_EQ(items(dialog, IDC_COLOR_DEPTH),
                  (std::vector<std::string>{"High density (16 bits)", "True Color (32 bits)"}));
        EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), 0);
        const BoxState boxes[] = {
            {IDC_FOG, true},
            {IDC_ANTIALIASING, true},
            {IDC_ZFAST, true},
            {IDC_TRIPLE_BUFFER, true},
            {IDC_TEXTURE_FILTERING, true},
            {IDC_OVERSAMPLING, false},
            {IDC_FIGHTING_FORCE, false},
            {IDC_ALTERNATE_LIGHTING, false},
            {IDC_MULTITEXTURE, false},
        };
        for (const BoxState &box : boxes) {
            SCOPED_TRACE(box.id);
            EXPECT_EQ(checked(dialog, box.id), box.checked);
        }
        EXPECT_FALSE(applyEnabled(dialog));
        press(dialog, IDOK);
    });
    // Through the program's entry, which always ends with 1.
    EXPECT_EQ(WinMain(NULL, NULL, const_cast<char *>(""), SW_SHOW), 1);
    EXPECT_TRUE(ran);

    const struct {
        const char *name;
        long long value;
    } expected[] = {{"ColorDepth", 16},  {"Fog", 1},       {"Antialiasing", 1}, {"ZFast", 1},
                    {"TripleBuffer", 1}, {"Filtering", 0}, {"Oversample", 0},   {"FightingForceFix", 0},
                    {"WaveRace", 0},     {"TMU", 0}};
    for (const auto &e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(storeDword(e.name), e.value);
    }
}

TEST_F(SettingsDialog, ColorDepthOtherThan16ShowsTrueColorAndSaves32) {
    const struct {
        DWORD stored;
        LRESULT shown;
        long long saved;
    } cases[] = {{16, 0, 16}, {32, 1, 32}, {24, 1, 32}, {0, 1, 32}, {8, 1, 32}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        restart();
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "ColorDepth", c.stored);
        EXPECT_EQ(runSettingsDialog([&](HWND dialog) {
                      EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), c.shown);
                      press(dialog, IDOK);
                  }),
                  1);
        EXPECT_EQ(storeDword("ColorDepth"), c.saved);
    }
}

TEST_F(SettingsDialog, NoColorSelectionSaves32) {
    runSettingsDialog([](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_COLOR_DEPTH), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        press(dialog, IDOK);
    });
    EXPECT_EQ(storeDword("ColorDepth"), 32);
}

TEST_F(SettingsDialog, UncheckingTextureFilteringThenApplyStoresOneAndStaysOpen) {
    EXPECT_EQ(runSettingsDialog([](HWND dialog) {
                  ASSERT_TRUE(checked(dialog, IDC_TEXTURE_FILTERING));
                  click(dialog, IDC_TEXTURE_FILTERING);
                  EXPECT_TRUE(applyEnabled(dialog));
                  press(dialog, IDC_APPLY);
                  EXPECT_FALSE(applyEnabled(dialog));
                  EXPECT_EQ(storeDword("Filtering"), 1);
                  // Checking it again stores 0.
                  click(dialog, IDC_TEXTURE_FILTERING);
                  press(dialog, IDC_APPLY);
                  EXPECT_EQ(storeDword("Filtering"), 0);
              }),
              -1); // neither Ok nor Cancel: the dialog was still open when the script ended
}

TEST_F(SettingsDialog, HiddenMultitextureBoxWritesTmuBackAtEverySave) {
    for (DWORD tmu : {1u, 0u}) {
        SCOPED_TRACE(tmu);
        restart();
        storeAll({1, 1, 0, 16, 1, 0, 0, 0, 1, tmu});
        runSettingsDialog([](HWND dialog) {
            press(dialog, IDC_APPLY);
            click(dialog, IDC_FOG);
            press(dialog, IDOK);
        });
        EXPECT_EQ(storeDword("TMU"), tmu);
        EXPECT_EQ(storeDword("Fog"), 0);
    }
}

TEST_F(SettingsDialog, StoredValuesAreShownAndSavedThroughTheMapping) {
    // Antialiasing, Fog, Oversample, ColorDepth, ZFast, TripleBuffer, FightingForceFix, WaveRace, Filtering,
    // TMU
    storeAll({0, 0, 1, 32, 0, 0, 1, 1, 1, 1});
    runSettingsDialog([](HWND dialog) {
        const BoxState boxes[] = {
            {IDC_FOG, false},           {IDC_ANTIALIASING, false},      {IDC_ZFAST, false},
            {IDC_TRIPLE_BUFFER, false}, {IDC_TEXTURE_FILTERING, false}, {IDC_OVERSAMPLING, true},
            {IDC_FIGHTING_FORCE, true}, {IDC_ALTERNATE_LIGHTING, true}, {IDC_MULTITEXTURE, true},
        };
        for (const BoxState &box : boxes) {
            SCOPED_TRACE(box.id);
            EXPECT_EQ(checked(dialog, box.id), box.checked);
        }
        EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), 1);
        // Flip every box: each value turns over, Filtering the other way round.
        for (const BoxState &box : boxes)
            click(dialog, box.id);
        choose(dialog, IDC_COLOR_DEPTH, 0);
        press(dialog, IDOK);
    });
    const DWORD flipped[] = {1, 1, 0, 16, 1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(storeNames[i]);
        EXPECT_EQ(storeDword(storeNames[i]), flipped[i]);
    }
}

// Oversample and FightingForceFix act only when exactly 1; a box must not show them on for other numbers,
// nor should a save switch them on.
TEST_F(SettingsDialog, CheckBoxesShowWhatTheLibrariesDoWithOtherNumbers) {
    storeAll({7, 2, 2, 16, 5, 3, 2, 9, 4, 2});
    runSettingsDialog([](HWND dialog) {
        const BoxState boxes[] = {
            {IDC_ANTIALIASING, true},       {IDC_FOG, true},
            {IDC_OVERSAMPLING, false},      {IDC_ZFAST, true},
            {IDC_TRIPLE_BUFFER, true},      {IDC_FIGHTING_FORCE, false},
            {IDC_ALTERNATE_LIGHTING, true}, {IDC_TEXTURE_FILTERING, false},
            {IDC_MULTITEXTURE, true},
        };
        for (const BoxState &box : boxes) {
            SCOPED_TRACE(box.id);
            EXPECT_EQ(SendMessageA(GetDlgItem(dialog, box.id), BM_GETCHECK, 0, 0),
                      box.checked ? BST_CHECKED : BST_UNCHECKED);
        }
        press(dialog, IDOK);
    });
    const DWORD saved[] = {1, 1, 0, 16, 1, 1, 0, 1, 1, 1};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(storeNames[i]);
        EXPECT_EQ(storeDword(storeNames[i]), saved[i]);
    }
}

TEST_F(SettingsDialog, ValuesThatAreNotFourByteDwordsLeaveTheVariablesAlone) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, settingsKeyPath, "ColorDepth", "32");
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, "Fog", REG_DWORD, {0, 0});
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, "ZFast", REG_BINARY, {0, 0, 0, 0, 0, 0, 0, 0});
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, "Antialiasing", REG_SZ, {'a', 'b', 'c', 0});
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, "WaveRace", REG_DWORD, {1, 0, 0, 0});
    runSettingsDialog([](HWND dialog) {
        EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), 0);
        EXPECT_TRUE(checked(dialog, IDC_FOG));
        EXPECT_TRUE(checked(dialog, IDC_ZFAST));
        EXPECT_TRUE(checked(dialog, IDC_ANTIALIASING));
        EXPECT_TRUE(checked(dialog, IDC_ALTERNATE_LIGHTING)); // the one real DWORD is taken
    });
    EXPECT_EQ(settingsVariables.ColorDepth, 16);
    EXPECT_EQ(settingsVariables.Fog, 1);
    EXPECT_EQ(settingsVariables.ZFast, 1);
    EXPECT_EQ(settingsVariables.Antialiasing, 1);
    EXPECT_EQ(settingsVariables.WaveRace, 1);
}

TEST_F(SettingsDialog, ValuesMissingFromAnExistingKeyKeepTheirInitialState) {
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Oversample", 1);
    runSettingsDialog([](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_OVERSAMPLING));
        EXPECT_TRUE(checked(dialog, IDC_FOG));
        EXPECT_TRUE(checked(dialog, IDC_TEXTURE_FILTERING));
        EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), 0);
        press(dialog, IDOK);
    });
    EXPECT_EQ(storeDword("Oversample"), 1);
    EXPECT_EQ(storeDword("TripleBuffer"), 1);
    EXPECT_EQ(storeDword("Filtering"), 0);
}

TEST_F(SettingsDialog, CancelAfterChangesLeavesTheStoreUntouched) {
    storeAll({1, 1, 0, 16, 1, 0, 0, 0, 0, 1});
    std::vector<std::vector<unsigned char>> before(10);
    for (int i = 0; i < 10; ++i)
        sim::registryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, storeNames[i], nullptr, &before[i]);

    EXPECT_EQ(runSettingsDialog([](HWND dialog) {
                  click(dialog, IDC_FOG);
                  click(dialog, IDC_OVERSAMPLING);
                  click(dialog, IDC_TEXTURE_FILTERING);
                  choose(dialog, IDC_COLOR_DEPTH, 1);
                  EXPECT_TRUE(applyEnabled(dialog));
                  press(dialog, IDCANCEL);
              }),
              1);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(storeNames[i]);
        std::vector<unsigned char> after;
        ASSERT_TRUE(sim::registryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, storeNames[i], nullptr, &after));
        EXPECT_EQ(after, before[i]);
    }
}

TEST_F(SettingsDialog, ApplyIsEnabledOnlyWhileThereAreUnsavedChanges) {
    const struct {
        const char *what;
        int id;
        int notification;
        bool dirty;
    } events[] = {
        {"check box click", IDC_ZFAST, BN_CLICKED, true},
        {"Fullscreen box click", IDC_FULLSCREEN, BN_CLICKED, true},
        {"colour selection change", IDC_COLOR_DEPTH, CBN_SELCHANGE, true},
        {"edit change notification", IDC_COLOR_DEPTH, EN_CHANGE, true},
        {"drop-down opened", IDC_COLOR_DEPTH, 7 /* CBN_DROPDOWN */, false},
        {"focus notification", IDC_FOG, 6 /* BN_SETFOCUS */, false},
    };
    for (const auto &e : events) {
        SCOPED_TRACE(e.what);
        runSettingsDialog([&](HWND dialog) {
            EXPECT_FALSE(applyEnabled(dialog));
            sim::dialogCommand(dialog, e.id, e.notification);
            EXPECT_EQ(applyEnabled(dialog), e.dirty);
            press(dialog, IDC_APPLY);
            EXPECT_FALSE(applyEnabled(dialog));
        });
    }
}

TEST_F(SettingsDialog, ReturningFromGamePatchingEnablesApply) {
    const struct {
        const char *how;
        int button; // 0: the game patching dialog is left without a button
    } exits[] = {{"Cancel", IDCANCEL}, {"Ok", IDOK}, {"no button", 0}};
    for (const auto &e : exits) {
        SCOPED_TRACE(e.how);
        restart();
        bool patchingShown = false;
        std::function<void(HWND)> patching = [&](HWND games) {
            patchingShown = true;
            EXPECT_EQ(items(games, IDC_GAME_FIRST).size(), 3u);
            if (e.button) press(games, e.button);
        };
        runSettingsDialog([&](HWND dialog) {
            sim::setDialogScript(patching);
            EXPECT_FALSE(applyEnabled(dialog));
            press(dialog, IDC_GAME_PATCHING);
            EXPECT_TRUE(patchingShown);
            EXPECT_TRUE(applyEnabled(dialog));
        });
    }
}

TEST_F(SettingsDialog, AStoreThatCannotBeWrittenFailsSilently) {
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Fog", 0);
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, settingsKeyPath, false, true);
    EXPECT_EQ(runSettingsDialog([](HWND dialog) {
                  click(dialog, IDC_FOG);
                  press(dialog, IDC_APPLY);
                  EXPECT_FALSE(applyEnabled(dialog));
                  press(dialog, IDOK);
              }),
              1);
    EXPECT_EQ(storeDword("Fog"), 0);
    EXPECT_EQ(storeDword("ColorDepth"), -1);

    sim::failCall("RegCreateKeyA", 0, ERROR_ACCESS_DENIED);
    EXPECT_EQ(runSettingsDialog([](HWND dialog) { press(dialog, IDOK); }), 1);
    EXPECT_EQ(storeDword("ColorDepth"), -1);
}

TEST_F(SettingsDialog, AStoreThatCannotBeOpenedShowsTheInitialValues) {
    storeAll({0, 0, 1, 32, 0, 0, 1, 1, 1, 1});
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, settingsKeyPath, true, false);
    runSettingsDialog([](HWND dialog) {
        EXPECT_EQ(selection(dialog, IDC_COLOR_DEPTH), 0);
        EXPECT_TRUE(checked(dialog, IDC_FOG));
        EXPECT_FALSE(checked(dialog, IDC_OVERSAMPLING));
        EXPECT_TRUE(checked(dialog, IDC_TEXTURE_FILTERING));
        EXPECT_FALSE(checked(dialog, IDC_MULTITEXTURE));
    });
}

} // namespace
