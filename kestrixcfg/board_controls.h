// The board controls of the settings dialog: the "Board" drop-down (Card) and the "Brightness" trackbar
// (Gamma, in hundredths).
#ifndef KESTRIXCFG_BOARD_CONTROLS_H
#define KESTRIXCFG_BOARD_CONTROLS_H

#include <windows.h>
#include <stdint.h>

struct SettingsVariables;

// The trackbar moves in tenths, from 0.5 to 2.0; the store keeps hundredths, 100 being the game's own.
const int32_t gammaNeutral = 100;
const LRESULT gammaLowestTenths = 5;
const LRESULT gammaHighestTenths = 20;
LRESULT gammaPosition(int32_t gammaHundredths);
int32_t gammaOf(LRESULT position);

void initBoardControls(HWND dialog);
void showBoardSettings(HWND dialog, const SettingsVariables &variables);
void takeBoardSettings(HWND dialog, SettingsVariables &variables);
// After the user moved the brightness trackbar: the text beside it follows; true when that was a change.
bool followGammaTrackbar(HWND dialog, int scrollCode);

#endif
