// The settings dialog "KESTRIX": edits the store that tessel2 and tessel3 read at grGlideInit.
#ifndef KESTRIXCFG_SETTINGS_DIALOG_H
#define KESTRIXCFG_SETTINGS_DIALOG_H

#include <windows.h>
#include <stdint.h>

// The program-wide copy of the store values, named after the registry values.
struct SettingsVariables {
    int32_t ColorDepth;
    int32_t Fog;
    int32_t Antialiasing;
    int32_t ZFast;
    int32_t TripleBuffer;
    int32_t Oversample;
    int32_t FightingForceFix;
    int32_t WaveRace;
    int32_t Filtering;
    int32_t TMU;
    int32_t Windowed;
    int32_t WindowScale;
    int32_t FramePacing;
    int32_t Card;
    int32_t Gamma;
    int32_t RenderScale;
};

extern SettingsVariables settingsVariables;
// What the program shows when the store holds nothing.
extern const SettingsVariables initialSettingsVariables;
extern const char *const settingsKeyPath;

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void loadSettings(HWND dialog);
void saveSettings(HWND dialog);
void setApplyEnabled(HWND dialog, bool enabled);
// Ok saves and ends the dialog, Apply saves, Cancel ends it; false for any other button.
bool handleSaveButtons(HWND dialog, int id, void (*save)(HWND dialog));

#endif
