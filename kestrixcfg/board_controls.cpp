#include "board_controls.h"

#include <commctrl.h>
#include <stdio.h>

#include "resource_ids.h"
#include "settings_dialog.h"

namespace {

// Item i stores Card i, the numbering the libraries read.
const char *const cardItems[] = {"Voodoo Graphics", "Voodoo Rush", "Voodoo2", "Voodoo Banshee", "Voodoo3"};
const int32_t cardCount = sizeof(cardItems) / sizeof(cardItems[0]);

const int32_t hundredthsPerTenth = 10;

LRESULT gammaTrackbar(HWND dialog) {
    return SendDlgItemMessageA(dialog, IDC_GAMMA_SLIDER, TBM_GETPOS, 0, 0);
}

void showGammaText(HWND dialog) {
    int32_t gamma = gammaOf(gammaTrackbar(dialog));
    char text[16];
    snprintf(text, sizeof(text), "%d.%02d", gamma / gammaNeutral, gamma % gammaNeutral);
    SetDlgItemTextA(dialog, IDC_GAMMA_TEXT, text);
}

} // namespace

// Values between the marks show at the nearest one; anything outside the range, as the game's own.
LRESULT gammaPosition(int32_t gammaHundredths) {
    LRESULT tenths = (gammaHundredths + hundredthsPerTenth / 2) / hundredthsPerTenth;
    if (tenths < gammaLowestTenths || tenths > gammaHighestTenths) return gammaNeutral / hundredthsPerTenth;
    return tenths;
}

int32_t gammaOf(LRESULT position) {
    return static_cast<int32_t>(position) * hundredthsPerTenth;
}

void initBoardControls(HWND dialog) {
    for (const char *item : cardItems)
        SendDlgItemMessageA(dialog, IDC_CARD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageA(dialog, IDC_GAMMA_SLIDER, TBM_SETRANGE, TRUE,
                        MAKELPARAM(gammaLowestTenths, gammaHighestTenths));
}

// A Card number the libraries do not know shows as the board they then report, Voodoo Graphics.
void showBoardSettings(HWND dialog, const SettingsVariables &variables) {
    WPARAM card = variables.Card >= 0 && variables.Card < cardCount ? static_cast<WPARAM>(variables.Card) : 0;
    SendDlgItemMessageA(dialog, IDC_CARD, CB_SETCURSEL, card, 0);
    SendDlgItemMessageA(dialog, IDC_GAMMA_SLIDER, TBM_SETPOS, TRUE, gammaPosition(variables.Gamma));
    showGammaText(dialog);
}

void takeBoardSettings(HWND dialog, SettingsVariables &variables) {
    LRESULT card = SendDlgItemMessageA(dialog, IDC_CARD, CB_GETCURSEL, 0, 0);
    variables.Card = card >= 0 && card < cardCount ? static_cast<int32_t>(card) : 0;
    variables.Gamma = gammaOf(gammaTrackbar(dialog));
}

bool followGammaTrackbar(HWND dialog, int scrollCode) {
    showGammaText(dialog);
    return scrollCode != TB_ENDTRACK;
}
