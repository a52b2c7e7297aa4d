// The display controls of the settings dialog: the "Fullscreen" box (Windowed), the "Resolution" trackbar
// (WindowScale) and the "Frame pacing" drop-down (FramePacing).
#ifndef KESTRIXCFG_DISPLAY_CONTROLS_H
#define KESTRIXCFG_DISPLAY_CONTROLS_H

#include <windows.h>
#include <stdint.h>

struct SettingsVariables;

// WindowScale as the trackbar shows it: 1x, 2x, 3x, 4x, then as large as fits the desktop.
const int32_t windowScaleFit = 255;
const LRESULT windowScalePositions = 5;
LRESULT windowScalePosition(int32_t windowScale);
int32_t windowScaleOf(LRESULT position);

// Trackbar range and drop-down items; once, before the settings are shown.
void initDisplayControls(HWND dialog);
void showDisplaySettings(HWND dialog, const SettingsVariables &variables);
void takeDisplaySettings(HWND dialog, SettingsVariables &variables);
// Greys the resolution controls while "Fullscreen" is checked.
void followFullscreenBox(HWND dialog);
// After the user moved the trackbar: the text beside it follows; true when that was a change to save.
bool followResolutionTrackbar(HWND dialog, int scrollCode);

#endif
