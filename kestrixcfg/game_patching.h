// The game patching dialog "KGP": switches a fixed list of EA games between their DirectX renderer and
// their Glide 2.x or Glide 3.x renderer through the "Thrash Driver" value of the games' own keys.
#ifndef KESTRIXCFG_GAME_PATCHING_H
#define KESTRIXCFG_GAME_PATCHING_H

#include <windows.h>

struct PatchedGame {
    int listId;
    const char *mainKey;
    const char *demoKey; // null when the game had no demo
};

extern const PatchedGame patchedGames[11];
// Item 0 "DirectX", 1 "Voodoo (Glide 2.x)", 2 "Voodoo 2 (Glide 3.x)", and the texts the games read.
extern const char *const driverItems[3];
extern const char *const driverTexts[3];

INT_PTR CALLBACK gamePatchingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void loadGameDrivers(HWND dialog);
void saveGameDrivers(HWND dialog);

#endif
