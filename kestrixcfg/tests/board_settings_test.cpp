#include "dialog_test_support.h"

#include <commctrl.h>

namespace {

using BoardSettings = DialogTest;

std::string gammaText(HWND dialog) {
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_GAMMA_TEXT, text, sizeof(text));
    return text;
}

LRESULT gammaTrackbar(HWND dialog) {
    return SendMessageA(GetDlgItem(dialog, IDC_GAMMA_SLIDER), TBM_GETPOS, 0, 0);
}

TEST_F(BoardSettings, AbsentValuesShowTheFirstBoardAtTheGamesOwnBrightnessAndOkWritesThem) {
    runSettingsDialog([](HWND dialog) {
        EXPECT_EQ(items(dialog, IDC_CARD),
                  (std::vector<std::string>{"Voodoo Graphics", "Voodoo Rush", "Voodoo2", "Voodoo Banshee",
                                            "Voodoo3"}));
        EXPECT_EQ(selection(dialog, IDC_CARD), 0);
        EXPECT_EQ(gammaText(dialog), "1.00");
        press(dialog, IDOK);
    });
    EXPECT_EQ(storeDword("Card"), 0);
    EXPECT_EQ(storeDword("Gamma"), 100);
}

// Numbers the libraries would not act on show as what the libraries then do, and are saved as such.
TEST_F(BoardSettings, StoredValuesShowThroughTheControlsAndSaveBack) {
    const struct {
        DWORD card, gamma;
        LRESULT cardItem, position;
        const char *text;
        DWORD savedGamma;
    } cases[] = {{2, 150, 2, 15, "1.50", 150},
                 {4, 50, 4, 5, "0.50", 50},
                 {7, 0, 0, 10, "1.00", 100},
                 {3, 124, 3, 12, "1.20", 120},
                 {1, 900, 1, 10, "1.00", 100}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.card);
        restart();
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Card", c.card);
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Gamma", c.gamma);
        runSettingsDialog([&](HWND dialog) {
            EXPECT_EQ(selection(dialog, IDC_CARD), c.cardItem);
            EXPECT_EQ(gammaTrackbar(dialog), c.position);
            EXPECT_EQ(gammaText(dialog), c.text);
            press(dialog, IDOK);
        });
        EXPECT_EQ(storeDword("Card"), static_cast<DWORD>(c.cardItem));
        EXPECT_EQ(storeDword("Gamma"), c.savedGamma);
    }
}

TEST_F(BoardSettings, ChoosingABoardOrMovingTheBrightnessEnablesApply) {
    runSettingsDialog([](HWND dialog) {
        choose(dialog, IDC_CARD, 4);
        EXPECT_TRUE(applyEnabled(dialog));
        press(dialog, IDC_APPLY);
        EXPECT_FALSE(applyEnabled(dialog));
        HWND slider = GetDlgItem(dialog, IDC_GAMMA_SLIDER);
        SendMessageA(slider, TBM_SETPOS, TRUE, 18);
        sim::dialogMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 0),
                           reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(gammaText(dialog), "1.80");
        EXPECT_TRUE(applyEnabled(dialog));
        press(dialog, IDC_APPLY);
    });
    EXPECT_EQ(storeDword("Card"), 4);
    EXPECT_EQ(storeDword("Gamma"), 180);
}

} // namespace

namespace {

std::string renderScaleText(HWND dialog) {
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_RENDER_SCALE_TEXT, text, sizeof(text));
    return text;
}

// Values the libraries would not scale by show as off and are saved as 0; moving the trackbar saves the
// scale it shows.
TEST_F(BoardSettings, RenderScaleShowsItsValueAndSavesTheTrackbar) {
    const struct {
        DWORD stored;
        LRESULT position;
        const char *text;
        DWORD saved;
    } cases[] = {{0, 0, "Off", 0}, {3, 2, "3x", 3}, {255, 4, "Screen", 255}, {7, 0, "Off", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        restart();
        sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "RenderScale", c.stored);
        runSettingsDialog([&](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RENDER_SCALE_SLIDER, TBM_GETPOS, 0, 0), c.position);
            EXPECT_EQ(renderScaleText(dialog), c.text);
            press(dialog, IDOK);
        });
        EXPECT_EQ(storeDword("RenderScale"), c.saved);
    }
    runSettingsDialog([](HWND dialog) {
        HWND slider = GetDlgItem(dialog, IDC_RENDER_SCALE_SLIDER);
        SendMessageA(slider, TBM_SETPOS, TRUE, 1);
        sim::dialogMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 0),
                           reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(renderScaleText(dialog), "2x");
        EXPECT_TRUE(applyEnabled(dialog));
        press(dialog, IDOK);
    });
    EXPECT_EQ(storeDword("RenderScale"), 2);
}

} // namespace
