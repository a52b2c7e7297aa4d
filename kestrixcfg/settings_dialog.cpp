#include "settings_dialog.h"

#include "board_controls.h"
#include "display_controls.h"
#include "game_patching.h"
#include "render_scale_controls.h"
#include "resource_ids.h"
#include "settings_store.h"

SettingsVariables settingsVariables = {16, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 100, 0};
const SettingsVariables initialSettingsVariables = {16, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 100, 0};

const char *const settingsKeyPath = settings_store::productKeyPath;

namespace {

struct StoreValue {
    const char *name;
    int32_t SettingsVariables::*field;
};

// The order in which the store is read and written.
const StoreValue storeValues[] = {
    {settings_store::antialiasing, &SettingsVariables::Antialiasing},
    {settings_store::fog, &SettingsVariables::Fog},
    {settings_store::oversample, &SettingsVariables::Oversample},
    {settings_store::colorDepth, &SettingsVariables::ColorDepth},
    {settings_store::zFast, &SettingsVariables::ZFast},
    {settings_store::tripleBuffer, &SettingsVariables::TripleBuffer},
    {settings_store::fightingForceFix, &SettingsVariables::FightingForceFix},
    {settings_store::waveRace, &SettingsVariables::WaveRace},
    {settings_store::filtering, &SettingsVariables::Filtering},
    {settings_store::tmu, &SettingsVariables::TMU},
    {settings_store::windowed, &SettingsVariables::Windowed},
    {settings_store::windowScale, &SettingsVariables::WindowScale},
    {settings_store::framePacing, &SettingsVariables::FramePacing},
    {settings_store::card, &SettingsVariables::Card},
    {settings_store::gamma, &SettingsVariables::Gamma},
    {settings_store::renderScale, &SettingsVariables::RenderScale},
};

// When a box shows as checked. The libraries act on most values when they are non-zero, but on Oversample
// and FightingForceFix only when they are exactly 1; "Texture filtering" is on when Filtering is 0 (the
// libraries then force bilinear filtering). A two-state button clamps any larger check state to checked,
// so a stored 2 handed over as it is would show an Oversample that the libraries ignore, and the next save
// would switch it on.
enum class CheckedWhen { NonZero, ExactlyOne, Zero };

struct CheckBoxValue {
    int controlId;
    int32_t SettingsVariables::*field;
    CheckedWhen checkedWhen;
};

// The order in which the boxes are shown.
const CheckBoxValue checkBoxValues[] = {
    {IDC_FOG, &SettingsVariables::Fog, CheckedWhen::NonZero},
    {IDC_ANTIALIASING, &SettingsVariables::Antialiasing, CheckedWhen::NonZero},
    {IDC_OVERSAMPLING, &SettingsVariables::Oversample, CheckedWhen::ExactlyOne},
    {IDC_ZFAST, &SettingsVariables::ZFast, CheckedWhen::NonZero},
    {IDC_TRIPLE_BUFFER, &SettingsVariables::TripleBuffer, CheckedWhen::NonZero},
    {IDC_FIGHTING_FORCE, &SettingsVariables::FightingForceFix, CheckedWhen::ExactlyOne},
    {IDC_ALTERNATE_LIGHTING, &SettingsVariables::WaveRace, CheckedWhen::NonZero},
    {IDC_TEXTURE_FILTERING, &SettingsVariables::Filtering, CheckedWhen::Zero},
    // Hidden in the template, but carried through every save so the store keeps its TMU.
    {IDC_MULTITEXTURE, &SettingsVariables::TMU, CheckedWhen::NonZero},
};

// Drop-down items: item 0 is 16 bits per pixel, item 1 everything else.
const char *const colorDepthItems[] = {"High density (16 bits)", "True Color (32 bits)"};

bool isChecked(int32_t value, CheckedWhen rule) {
    switch (rule) {
    case CheckedWhen::ExactlyOne:
        return value == 1;
    case CheckedWhen::Zero:
        return value == 0;
    case CheckedWhen::NonZero:
        break;
    }
    return value != 0;
}

int32_t valueOf(bool checked, CheckedWhen rule) {
    if (rule == CheckedWhen::Zero) return checked ? 0 : 1;
    return checked ? 1 : 0;
}

// Only a 4-byte REG_DWORD is taken; anything else (a string, a short or long binary) leaves the variable
// as it was instead of filling it with part of a foreign value.
void readDword(HKEY key, const char *name, int32_t &variable) {
    DWORD value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS)
        return;
    if (type != REG_DWORD || size != sizeof(value)) return;
    variable = static_cast<int32_t>(value);
}

void showSettings(HWND dialog) {
    WPARAM item = settingsVariables.ColorDepth == 16 ? 0 : 1;
    SendDlgItemMessageA(dialog, IDC_COLOR_DEPTH, CB_SETCURSEL, item, 0);
    for (const CheckBoxValue &box : checkBoxValues) {
        bool checked = isChecked(settingsVariables.*box.field, box.checkedWhen);
        SendDlgItemMessageA(dialog, box.controlId, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    showDisplaySettings(dialog, settingsVariables);
    showBoardSettings(dialog, settingsVariables);
    showRenderScaleSettings(dialog, settingsVariables);
}

void takeSettings(HWND dialog) {
    LRESULT item = SendDlgItemMessageA(dialog, IDC_COLOR_DEPTH, CB_GETCURSEL, 0, 0);
    settingsVariables.ColorDepth = item == 0 ? 16 : 32;
    for (const CheckBoxValue &box : checkBoxValues) {
        bool checked = SendDlgItemMessageA(dialog, box.controlId, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
        settingsVariables.*box.field = valueOf(checked, box.checkedWhen);
    }
    takeDisplaySettings(dialog, settingsVariables);
    takeBoardSettings(dialog, settingsVariables);
    takeRenderScaleSettings(dialog, settingsVariables);
}

} // namespace

void setApplyEnabled(HWND dialog, bool enabled) {
    EnableWindow(GetDlgItem(dialog, IDC_APPLY), enabled ? TRUE : FALSE);
}

void loadSettings(HWND dialog) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, settingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (const StoreValue &value : storeValues)
            readDword(key, value.name, settingsVariables.*value.field);
        RegCloseKey(key);
    }
    showSettings(dialog);
}

void saveSettings(HWND dialog) {
    takeSettings(dialog);
    HKEY key = NULL;
    // Without rights on HKEY_LOCAL_MACHINE nothing is written, and nothing is said.
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, settingsKeyPath, &key) != ERROR_SUCCESS) return;
    for (const StoreValue &value : storeValues) {
        DWORD data = static_cast<DWORD>(settingsVariables.*value.field);
        RegSetValueExA(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data), sizeof(data));
    }
    RegCloseKey(key);
}

bool handleSaveButtons(HWND dialog, int id, void (*save)(HWND dialog)) {
    switch (id) {
    case IDOK:
        save(dialog);
        setApplyEnabled(dialog, false);
        EndDialog(dialog, 1);
        return true;
    case IDCANCEL:
        EndDialog(dialog, 1);
        return true;
    case IDC_APPLY:
        save(dialog);
        setApplyEnabled(dialog, false);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        for (const char *item : colorDepthItems)
            SendDlgItemMessageA(dialog, IDC_COLOR_DEPTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        initDisplayControls(dialog);
        initBoardControls(dialog);
        initRenderScaleControls(dialog);
        loadSettings(dialog);
        setApplyEnabled(dialog, false);
        return TRUE;
    }
    if (message == WM_HSCROLL) {
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_RESOLUTION_SLIDER) &&
            followResolutionTrackbar(dialog, LOWORD(wParam)))
            setApplyEnabled(dialog, true);
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_GAMMA_SLIDER) &&
            followGammaTrackbar(dialog, LOWORD(wParam)))
            setApplyEnabled(dialog, true);
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_RENDER_SCALE_SLIDER) &&
            followRenderScaleTrackbar(dialog, LOWORD(wParam)))
            setApplyEnabled(dialog, true);
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;

    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (code == BN_CLICKED) {
        if (handleSaveButtons(dialog, id, saveSettings)) return FALSE;
        // Modal and without an owner, as the game patching dialog always was; whatever happened there, this
        // dialog turns dirty.
        if (id == IDC_GAME_PATCHING) DialogBoxParamA(NULL, "KGP", NULL, gamePatchingDialogProc, 0);
        if (id == IDC_FULLSCREEN) followFullscreenBox(dialog);
        setApplyEnabled(dialog, true);
    } else if (code == CBN_SELCHANGE || code == EN_CHANGE) {
        setApplyEnabled(dialog, true);
    }
    return FALSE;
}
