#include "opening_mode.h"

#include <string.h>

#include "../core/log.h"

namespace {

const DWORD modeFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;

bool sameMode(const DEVMODEA &a, const DEVMODEA &b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel;
}

bool readMode(DWORD which, DEVMODEA &mode) {
    memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    return EnumDisplaySettingsA(NULL, which, &mode) != FALSE && (mode.dmFields & modeFields) == modeFields;
}

} // namespace

void rememberOpeningMode() {
    renderContext.restoresOpeningMode = 0;
    DEVMODEA desktop;
    if (!readMode(ENUM_CURRENT_SETTINGS, renderContext.openingMode) ||
        !readMode(ENUM_REGISTRY_SETTINGS, desktop))
        return;
    renderContext.restoresOpeningMode = !sameMode(renderContext.openingMode, desktop);
}

void putBackOpeningMode() {
    if (!renderContext.restoresOpeningMode) return;
    renderContext.restoresOpeningMode = 0;
    DEVMODEA current;
    if (readMode(ENUM_CURRENT_SETTINGS, current) && sameMode(current, renderContext.openingMode)) return;
    DEVMODEA &mode = renderContext.openingMode;
    mode.dmFields &= modeFields | DM_DISPLAYFREQUENCY;
    LONG result = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    logLine("Display mode %ux%u, %u-bit, in force before the open, put back: %s\n",
            static_cast<unsigned>(mode.dmPelsWidth), static_cast<unsigned>(mode.dmPelsHeight),
            static_cast<unsigned>(mode.dmBitsPerPel), result == DISP_CHANGE_SUCCESSFUL ? "done" : "refused");
}
