// The "Render scale" trackbar (RenderScale): how many times the game's resolution the libraries draw at.
#ifndef KESTRIXCFG_RENDER_SCALE_CONTROLS_H
#define KESTRIXCFG_RENDER_SCALE_CONTROLS_H

#include <windows.h>
#include <stdint.h>

struct SettingsVariables;

// RenderScale as the trackbar shows it: off, 2x, 3x, 4x, then as large as the screen allows.
const int32_t renderScaleScreen = 255;
const LRESULT renderScalePositions = 5;
LRESULT renderScalePosition(int32_t renderScale);
int32_t renderScaleOf(LRESULT position);

void initRenderScaleControls(HWND dialog);
void showRenderScaleSettings(HWND dialog, const SettingsVariables &variables);
void takeRenderScaleSettings(HWND dialog, SettingsVariables &variables);
// After the user moved the trackbar: the text beside it follows; true when that was a change to save.
bool followRenderScaleTrackbar(HWND dialog, int scrollCode);

#endif
