#include "render_scale_controls.h"

#include <commctrl.h>

#include "resource_ids.h"
#include "settings_dialog.h"

namespace {

const int32_t off = 0;
const int32_t firstTimes = 2;
const int32_t largestTimes = 4;

const char *const renderScaleTexts[renderScalePositions] = {"Off", "2x", "3x", "4x", "Screen"};

LRESULT trackbarPosition(HWND dialog) {
    return SendDlgItemMessageA(dialog, IDC_RENDER_SCALE_SLIDER, TBM_GETPOS, 0, 0);
}

void showRenderScaleText(HWND dialog) {
    LRESULT position = renderScalePosition(renderScaleOf(trackbarPosition(dialog)));
    SetDlgItemTextA(dialog, IDC_RENDER_SCALE_TEXT, renderScaleTexts[position]);
}

} // namespace

// Anything the libraries would not scale by (1, 5, 254, ...) shows as off, as they draw it.
LRESULT renderScalePosition(int32_t renderScale) {
    if (renderScale == renderScaleScreen) return renderScalePositions - 1;
    if (renderScale >= firstTimes && renderScale <= largestTimes) return renderScale - firstTimes + 1;
    return 0;
}

int32_t renderScaleOf(LRESULT position) {
    if (position == renderScalePositions - 1) return renderScaleScreen;
    if (position > 0 && position < renderScalePositions - 1)
        return static_cast<int32_t>(position) + firstTimes - 1;
    return off;
}

void initRenderScaleControls(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_RENDER_SCALE_SLIDER, TBM_SETRANGE, TRUE,
                        MAKELPARAM(0, renderScalePositions - 1));
}

void showRenderScaleSettings(HWND dialog, const SettingsVariables &variables) {
    SendDlgItemMessageA(dialog, IDC_RENDER_SCALE_SLIDER, TBM_SETPOS, TRUE,
                        renderScalePosition(variables.RenderScale));
    showRenderScaleText(dialog);
}

void takeRenderScaleSettings(HWND dialog, SettingsVariables &variables) {
    variables.RenderScale = renderScaleOf(trackbarPosition(dialog));
}

// A trackbar ends every move with TB_ENDTRACK, and sends it alone when a key or click moved nothing.
bool followRenderScaleTrackbar(HWND dialog, int scrollCode) {
    showRenderScaleText(dialog);
    return scrollCode != TB_ENDTRACK;
}
