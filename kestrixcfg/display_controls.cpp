#include "display_controls.h"

#include <commctrl.h>

#include "resource_ids.h"
#include "settings_dialog.h"

namespace {

const int32_t fullScreen = 0;
const int32_t windowed = 1;

// Trackbar positions 0 to 3 are 1x to 4x; the last one is Fit.
const int32_t asIs = 1;
const int32_t largestTimes = 4;

const char *const windowScaleTexts[windowScalePositions] = {"1x", "2x", "3x", "4x", "Fit"};

// Item i stores FramePacing i.
const char *const framePacingItems[] = {"Off", "Voodoo (swap interval)", "Capped (60 per second)"};
const int32_t framePacingCount = sizeof(framePacingItems) / sizeof(framePacingItems[0]);

LRESULT trackbarPosition(HWND dialog) {
    return SendDlgItemMessageA(dialog, IDC_RESOLUTION_SLIDER, TBM_GETPOS, 0, 0);
}

void showWindowScaleText(HWND dialog) {
    LRESULT position = windowScalePosition(windowScaleOf(trackbarPosition(dialog)));
    SetDlgItemTextA(dialog, IDC_WINDOW_SCALE_TEXT, windowScaleTexts[position]);
}

} // namespace

// Anything the libraries would not scale by (0, 5, 254, ...) shows as 1x, as they draw it.
LRESULT windowScalePosition(int32_t windowScale) {
    if (windowScale == windowScaleFit) return windowScalePositions - 1;
    if (windowScale > asIs && windowScale <= largestTimes) return windowScale - asIs;
    return 0;
}

int32_t windowScaleOf(LRESULT position) {
    if (position == windowScalePositions - 1) return windowScaleFit;
    if (position > 0 && position < largestTimes) return static_cast<int32_t>(position) + asIs;
    return asIs;
}

void initDisplayControls(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_RESOLUTION_SLIDER, TBM_SETRANGE, TRUE,
                        MAKELPARAM(0, windowScalePositions - 1));
    for (const char *item : framePacingItems)
        SendDlgItemMessageA(dialog, IDC_FRAME_PACING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

// Only Windowed 1 opens a window; any other number leaves the libraries full-screen.
void showDisplaySettings(HWND dialog, const SettingsVariables &variables) {
    bool fullScreenChecked = variables.Windowed != windowed;
    CheckDlgButton(dialog, IDC_FULLSCREEN, fullScreenChecked ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_RESOLUTION_SLIDER, TBM_SETPOS, TRUE,
                        windowScalePosition(variables.WindowScale));
    WPARAM pacing = variables.FramePacing >= 0 && variables.FramePacing < framePacingCount
                        ? static_cast<WPARAM>(variables.FramePacing)
                        : 0;
    SendDlgItemMessageA(dialog, IDC_FRAME_PACING, CB_SETCURSEL, pacing, 0);
    showWindowScaleText(dialog);
    followFullscreenBox(dialog);
}

void takeDisplaySettings(HWND dialog, SettingsVariables &variables) {
    variables.Windowed = IsDlgButtonChecked(dialog, IDC_FULLSCREEN) != BST_UNCHECKED ? fullScreen : windowed;
    variables.WindowScale = windowScaleOf(trackbarPosition(dialog));
    LRESULT pacing = SendDlgItemMessageA(dialog, IDC_FRAME_PACING, CB_GETCURSEL, 0, 0);
    variables.FramePacing = pacing >= 0 && pacing < framePacingCount ? static_cast<int32_t>(pacing) : 0;
}

void followFullscreenBox(HWND dialog) {
    BOOL windowedChosen = IsDlgButtonChecked(dialog, IDC_FULLSCREEN) == BST_UNCHECKED;
    const int resolutionControls[] = {IDC_RESOLUTION_GROUP, IDC_RESOLUTION_SLIDER, IDC_WINDOW_SCALE_TEXT};
    for (int id : resolutionControls)
        EnableWindow(GetDlgItem(dialog, id), windowedChosen);
}

// A trackbar ends every move with TB_ENDTRACK, and sends it alone when a key or click moved nothing.
bool followResolutionTrackbar(HWND dialog, int scrollCode) {
    showWindowScaleText(dialog);
    return scrollCode != TB_ENDTRACK;
}
