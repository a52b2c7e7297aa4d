#include "dialog_test_support.h"

namespace {

using GamePatching = DialogTest;

const char *const fifa98 = "Software\\EA SPORTS\\FIFA 98";
const char *const fifa99 = "Software\\EA SPORTS\\FIFA 99";
const char *const fifa99Demo = "Software\\EA SPORTS\\FIFA 99 Demo";
const char *const fifa2000 = "Software\\EA SPORTS\\FIFA 2000";
const char *const fifa2000Demo = "Software\\EA SPORTS\\FIFA 2000 Demo";
const char *const highStakes = "Software\\Electronic Arts\\Need For Speed High Stakes";

std::vector<std::string> allGameKeys() {
    std::vector<std::string> keys;
    for (const PatchedGame &game : patchedGames) {
        keys.push_back(game.mainKey);
        if (game.demoKey) keys.push_back(game.demoKey);
    }
    return keys;
}

void setDriverBytes(const char *key, DWORD type, const std::string &bytes) {
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, key, "Thrash Driver", type,
                          std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

TEST_F(GamePatching, NoGameInstalledShowsDirectXAndOkWritesDxIntoAll21Keys) {
    EXPECT_EQ(runGamePatchingDialog([](HWND dialog) {
                  for (int id = IDC_GAME_FIRST; id <= IDC_GAME_LAST; ++id) {
                      SCOPED_TRACE(id);
                      EXPECT_EQ(items(dialog, id), (std::vector<std::string>{"DirectX", "Voodoo (Glide 2.x)",
                                                                             "Voodoo 2 (Glide 3.x)"}));
                      EXPECT_EQ(selection(dialog, id), 0);
                  }
                  EXPECT_FALSE(applyEnabled(dialog));
                  press(dialog, IDOK);
              }),
              1);
    std::vector<std::string> keys = allGameKeys();
    ASSERT_EQ(keys.size(), 21u);
    for (const std::string &key : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(driverValue(key.c_str()), "dx");
    }
    EXPECT_FALSE(sim::registryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Electronic Arts\\Need For Speed High "
                                                            "Stakes Demo"));
}

TEST_F(GamePatching, StoredTextSelectsItsItemWhateverItsCase) {
    const struct {
        const char *text;
        LRESULT item;
    } cases[] = {{"Voodoo2", 2}, {"VOODOO2", 2}, {"vOoDoO2", 2}, {"voodoo", 1},  {"VooDoo", 1},
                 {"voodoo3", 0}, {"dx", 0},      {"", 0},        {"voodoo ", 0}, {"glide", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        restart();
        sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa99, "Thrash Driver", c.text);
        runGamePatchingDialog([&](HWND dialog) {
            EXPECT_EQ(selection(dialog, 2001), c.item);
            EXPECT_EQ(selection(dialog, 2000), 0);
            EXPECT_EQ(selection(dialog, 2002), 0);
        });
    }
}

TEST_F(GamePatching, MainKeyIsReadAfterTheDemoAndDecides) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa2000Demo, "Thrash Driver", "voodoo");
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa2000, "Thrash Driver", "dx");
    // A demo alone still counts.
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa99Demo, "Thrash Driver", "voodoo2");
    runGamePatchingDialog([](HWND dialog) {
        EXPECT_EQ(selection(dialog, 2002), 0);
        EXPECT_EQ(selection(dialog, 2001), 2);
        press(dialog, IDOK);
    });
    EXPECT_EQ(driverValue(fifa2000Demo), "dx");
    EXPECT_EQ(driverValue(fifa2000), "dx");
    EXPECT_EQ(driverValue(fifa99Demo), "voodoo2");
    EXPECT_EQ(driverValue(fifa99), "voodoo2");
}

// A key without a "Thrash Driver" string is treated like a missing key: it neither resets the list nor
// repeats the text of the key read before it.
TEST_F(GamePatching, KeyWithoutADriverStringChangesNothing) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa98, "Thrash Driver", "voodoo2");
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, fifa99Demo);
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, fifa99);
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa2000Demo, "Thrash Driver", "voodoo");
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, fifa2000, "Thrash Driver", 0);
    runGamePatchingDialog([](HWND dialog) {
        EXPECT_EQ(selection(dialog, 2000), 2);
        EXPECT_EQ(selection(dialog, 2001), 0);
        EXPECT_EQ(selection(dialog, 2002), 1);
    });
}

TEST_F(GamePatching, TextsLongerThanTheBufferAreReadSafelyAndMeanDirectX) {
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"300 characters", "VOODOO2" + std::string(293, ' ')},
        {"256 characters without a zero", "voodoo" + std::string(250, 'x')},
        {"256 bytes, zero at the end", "voodoo" + std::string(249, 'x') + std::string(1, '\0')},
        {"voodoo, then a zero and rubbish", std::string("voodoo\0rubbish", 14)},
    };
    const LRESULT expected[] = {0, 0, 0, 1};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].what);
        restart();
        sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa2000Demo, "Thrash Driver", "voodoo2");
        setDriverBytes(fifa2000, REG_SZ, cases[i].bytes);
        runGamePatchingDialog([&](HWND dialog) { EXPECT_EQ(selection(dialog, 2002), expected[i]); });
    }
}

TEST_F(GamePatching, NeedForSpeedApplyWritesTheSixBytesVoodooIntoItsOneKey) {
    EXPECT_EQ(runGamePatchingDialog([](HWND dialog) {
                  choose(dialog, 2010, 1);
                  EXPECT_TRUE(applyEnabled(dialog));
                  press(dialog, IDC_APPLY);
                  EXPECT_FALSE(applyEnabled(dialog));
              }),
              -1); // Apply leaves the dialog open
    DWORD type = 0;
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(sim::registryValue(HKEY_LOCAL_MACHINE, highStakes, "Thrash Driver", &type, &bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "voodoo");
    EXPECT_EQ(bytes.size(), 6u);
    EXPECT_EQ(driverValue(fifa98), "dx");
}

TEST_F(GamePatching, EachChoiceIsWrittenIntoMainAndDemoKeysWithoutATerminatingZero) {
    runGamePatchingDialog([](HWND dialog) {
        choose(dialog, 2000, 2);
        choose(dialog, 2001, 1);
        SendMessageA(GetDlgItem(dialog, 2002), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        press(dialog, IDOK);
    });
    EXPECT_EQ(driverValue(fifa98), "voodoo2");
    EXPECT_EQ(driverValue("Software\\EA SPORTS\\FIFA 98 Demo"), "voodoo2");
    EXPECT_EQ(driverValue(fifa99), "voodoo");
    EXPECT_EQ(driverValue(fifa99Demo), "voodoo");
    EXPECT_EQ(driverValue(fifa2000), "dx"); // nothing selected
    EXPECT_EQ(driverValue(fifa2000Demo), "dx");
}

TEST_F(GamePatching, CancelWritesNothing) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa99, "Thrash Driver", "voodoo");
    EXPECT_EQ(runGamePatchingDialog([](HWND dialog) {
                  choose(dialog, 2001, 0);
                  press(dialog, IDCANCEL);
              }),
              1);
    EXPECT_EQ(driverValue(fifa99), std::string("voodoo\0", 7));
    EXPECT_FALSE(sim::registryKeyExists(HKEY_LOCAL_MACHINE, fifa98));
}

TEST_F(GamePatching, ApplyIsEnabledOnlyWhileThereAreUnsavedChanges) {
    const struct {
        const char *what;
        int id;
        int notification;
        bool dirty;
    } events[] = {
        {"selection change", 2005, CBN_SELCHANGE, true},
        {"click on a list", 2003, BN_CLICKED, true},
        {"edit change notification", 2010, EN_CHANGE, true},
        {"drop-down closed", 2000, 8 /* CBN_CLOSEUP */, false},
    };
    for (const auto &e : events) {
        SCOPED_TRACE(e.what);
        runGamePatchingDialog([&](HWND dialog) {
            sim::dialogCommand(dialog, e.id, e.notification);
            EXPECT_EQ(applyEnabled(dialog), e.dirty);
            press(dialog, IDC_APPLY);
            EXPECT_FALSE(applyEnabled(dialog));
        });
    }
}

TEST_F(GamePatching, KeysThatCannotBeOpenedOrCreatedAreSkippedSilently) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, fifa99, "Thrash Driver", "voodoo");
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, fifa99, true, true);
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Electronic Arts", false, true);
    EXPECT_EQ(runGamePatchingDialog([](HWND dialog) {
                  EXPECT_EQ(selection(dialog, 2001), 0);
                  choose(dialog, 2001, 2);
                  choose(dialog, 2010, 2);
                  press(dialog, IDOK);
              }),
              1);
    EXPECT_EQ(driverValue(fifa99), std::string("voodoo\0", 7));
    EXPECT_EQ(driverValue(fifa99Demo), "voodoo2");
    EXPECT_FALSE(sim::registryKeyExists(HKEY_LOCAL_MACHINE, highStakes));
    EXPECT_EQ(driverValue("Software\\EA SPORTS\\NBA Live 2002 Demo"), "dx");
}

} // namespace
