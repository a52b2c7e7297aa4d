#include "dialog_test_support.h"

#include <commctrl.h>

namespace {

using DisplaySettings = DialogTest;

LRESULT trackbar(HWND dialog) {
    return SendMessageA(GetDlgItem(dialog, IDC_RESOLUTION_SLIDER), TBM_GETPOS, 0, 0);
}

std::string scaleText(HWND dialog) {
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_WINDOW_SCALE_TEXT, text, sizeof(text));
    return text;
}

// The group, the trackbar and its text grey together.
bool resolutionEnabled(HWND dialog) {
    bool slider = sim::windowEnabled(GetDlgItem(dialog, IDC_RESOLUTION_SLIDER));
    EXPECT_EQ(sim::windowEnabled(GetDlgItem(dialog, IDC_RESOLUTION_GROUP)), slider);
    EXPECT_EQ(sim::windowEnabled(GetDlgItem(dialog, IDC_WINDOW_SCALE_TEXT)), slider);
    return slider;
}

// As a real trackbar does: it moves, then tells its dialog.
void slide(HWND dialog, LRESULT position, int scrollCode) {
    HWND slider = GetDlgItem(dialog, IDC_RESOLUTION_SLIDER);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    sim::dialogMessage(dialog, WM_HSCROLL, MAKEWPARAM(scrollCode, 0), reinterpret_cast<LPARAM>(slider));
}

void storeDisplay(DWORD windowed, DWORD windowScale, DWORD framePacing) {
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "Windowed", windowed);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "WindowScale", windowScale);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settingsKeyPath, "FramePacing", framePacing);
}

TEST_F(DisplaySettings, AbsentValuesShowFullScreenAtOneTimesWithoutPacingAndOkWritesThem) {
    runSettingsDialog([](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_FULLSCREEN));
        EXPECT_FALSE(resolutionEnabled(dialog));
        EXPECT_EQ(scaleText(dialog), "1x");
        EXPECT_EQ(items(dialog, IDC_FRAME_PACING),
                  (std::vector<std::string>{"Off", "Voodoo (swap interval)", "Capped (60 per second)"}));
        EXPECT_EQ(selection(dialog, IDC_FRAME_PACING), 0);
        press(dialog, IDOK);
    });
    EXPECT_EQ(storeDword("Windowed"), 0);
    EXPECT_EQ(storeDword("WindowScale"), 1);
    EXPECT_EQ(storeDword("FramePacing"), 0);
}

// Numbers the libraries do not act on show as today's behaviour and are saved as such.
TEST_F(DisplaySettings, StoredValuesShowThroughTheControlsAndSaveBack) {
    const struct {
        DWORD windowed, scale, pacing;
        LRESULT position;
        const char *text;
        DWORD savedScale;
        LRESULT pacingItem;
    } cases[] = {{1, 0, 0, 0, "1x", 1, 0},           {1, 2, 1, 1, "2x", 2, 1},
                 {1, 4, 2, 3, "4x", 4, 2},           {1, 255, 3, 4, "Fit", 255, 0},
                 {2, 5, 0xFFFFFFFFu, 0, "1x", 1, 0}, {1, 254, 0, 0, "1x", 1, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.scale);
        restart();
        storeDisplay(c.windowed, c.scale, c.pacing);
        runSettingsDialog([&](HWND dialog) {
            EXPECT_EQ(trackbar(dialog), c.position);
            EXPECT_EQ(scaleText(dialog), c.text);
            EXPECT_EQ(selection(dialog, IDC_FRAME_PACING), c.pacingItem);
            press(dialog, IDOK);
        });
        EXPECT_EQ(storeDword("Windowed"), c.windowed == 1 ? 1 : 0);
        EXPECT_EQ(storeDword("WindowScale"), c.savedScale);
        EXPECT_EQ(storeDword("FramePacing"), c.pacingItem);
    }
}

TEST_F(DisplaySettings, ResolutionIsGreyedWhileFullscreenIsChecked) {
    storeDisplay(1, 2, 0);
    runSettingsDialog([](HWND dialog) {
        EXPECT_FALSE(checked(dialog, IDC_FULLSCREEN));
        EXPECT_TRUE(resolutionEnabled(dialog));
        click(dialog, IDC_FULLSCREEN);
        EXPECT_FALSE(resolutionEnabled(dialog));
        EXPECT_TRUE(applyEnabled(dialog));
        press(dialog, IDC_APPLY);
        EXPECT_EQ(storeDword("Windowed"), 0);
        click(dialog, IDC_FULLSCREEN);
        EXPECT_TRUE(resolutionEnabled(dialog));
    });
}

TEST_F(DisplaySettings, MovingTheTrackbarShowsTheScaleAndEnablesApply) {
    storeDisplay(1, 1, 0);
    runSettingsDialog([](HWND dialog) {
        slide(dialog, 0, TB_ENDTRACK); // a click that moved nothing
        sim::dialogMessage(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 4), 0); // not our trackbar
        EXPECT_FALSE(applyEnabled(dialog));
        slide(dialog, 2, TB_THUMBTRACK);
        EXPECT_EQ(scaleText(dialog), "3x");
        EXPECT_TRUE(applyEnabled(dialog));
        choose(dialog, IDC_FRAME_PACING, 1);
        press(dialog, IDC_APPLY);
    });
    EXPECT_EQ(storeDword("WindowScale"), 3);
    EXPECT_EQ(storeDword("FramePacing"), 1);
}

} // namespace
