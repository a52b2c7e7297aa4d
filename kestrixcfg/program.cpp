// kestrixcfg has no main window: the settings dialog is the whole program.
#include <windows.h>
#include <commctrl.h>

#include "settings_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The resolution trackbar of the template needs its window class registered first.
    InitCommonControls();
    DialogBoxParamA(instance, "KESTRIX", NULL, settingsDialogProc, 0);
    return 1;
}
