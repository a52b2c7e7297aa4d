#include "game_patching.h"

#include <string.h>

#include "resource_ids.h"
#include "settings_dialog.h"

const PatchedGame patchedGames[11] = {
    {2000, "Software\\EA SPORTS\\FIFA 98", "Software\\EA SPORTS\\FIFA 98 Demo"},
    {2001, "Software\\EA SPORTS\\FIFA 99", "Software\\EA SPORTS\\FIFA 99 Demo"},
    {2002, "Software\\EA SPORTS\\FIFA 2000", "Software\\EA SPORTS\\FIFA 2000 Demo"},
    {2003, "Software\\EA SPORTS\\FIFA 2001", "Software\\EA SPORTS\\FIFA 2001 Demo"},
    {2004, "Software\\EA SPORTS\\FIFA 2002", "Software\\EA SPORTS\\FIFA 2002 Demo"},
    {2005, "Software\\EA SPORTS\\NBA Live 98", "Software\\EA SPORTS\\NBA Live 98 Demo"},
    {2006, "Software\\EA SPORTS\\NBA Live 99", "Software\\EA SPORTS\\NBA Live 99 Demo"},
    {2007, "Software\\EA SPORTS\\NBA Live 2000", "Software\\EA SPORTS\\NBA Live 2000 Demo"},
    {2008, "Software\\EA SPORTS\\NBA Live 2001", "Software\\EA SPORTS\\NBA Live 2001 Demo"},
    {2009, "Software\\EA SPORTS\\NBA Live 2002", "Software\\EA SPORTS\\NBA Live 2002 Demo"},
    {2010, "Software\\Electronic Arts\\Need For Speed High Stakes", NULL},
};

const char *const driverItems[3] = {"DirectX", "Voodoo (Glide 2.x)", "Voodoo 2 (Glide 3.x)"};
const char *const driverTexts[3] = {"dx", "voodoo", "voodoo2"};

namespace {

const char *const driverValueName = "Thrash Driver";
const DWORD driverTextCapacity = 256;

void toUpperAscii(char *text) {
    for (; *text != '\0'; ++text)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

// The games accept their own texts in any case; everything else means DirectX.
int itemForText(char *text) {
    toUpperAscii(text);
    if (strcmp(text, "VOODOO2") == 0) return 2;
    if (strcmp(text, "VOODOO") == 0) return 1;
    return 0;
}

// Reads the choice stored in one key. False when the key does not open or holds no "Thrash Driver" string:
// such a key leaves the list as it is, and never selects by a text read from another key.
bool readDriverItem(const char *keyPath, int *item) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    // One byte more than is read, so that a value filling all 256 bytes without a zero still ends.
    char text[driverTextCapacity + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = driverTextCapacity;
    LONG result = RegQueryValueExA(key, driverValueName, NULL, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    if (result == ERROR_MORE_DATA) {
        // Longer than the buffer, so neither "voodoo" nor "voodoo2".
        *item = 0;
        return true;
    }
    if (result != ERROR_SUCCESS) return false;
    *item = itemForText(text);
    return true;
}

const char *textForItem(LRESULT item) {
    if (item == 1 || item == 2) return driverTexts[item];
    return driverTexts[0];
}

// The games read the text by its length: it is written without a terminating zero.
void writeDriverText(const char *keyPath, const char *text) {
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, driverValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   static_cast<DWORD>(strlen(text)));
    RegCloseKey(key);
}

} // namespace

void loadGameDrivers(HWND dialog) {
    for (const PatchedGame &game : patchedGames)
        SendDlgItemMessageA(dialog, game.listId, CB_SETCURSEL, 0, 0);
    for (const PatchedGame &game : patchedGames) {
        // The demo first, so that the full game's choice wins when both are installed.
        const char *keys[] = {game.demoKey, game.mainKey};
        for (const char *keyPath : keys) {
            int item = 0;
            if (keyPath && readDriverItem(keyPath, &item))
                SendDlgItemMessageA(dialog, game.listId, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        }
    }
}

void saveGameDrivers(HWND dialog) {
    for (const PatchedGame &game : patchedGames) {
        LRESULT item = SendDlgItemMessageA(dialog, game.listId, CB_GETCURSEL, 0, 0);
        const char *text = textForItem(item);
        writeDriverText(game.mainKey, text);
        if (game.demoKey) writeDriverText(game.demoKey, text);
    }
}

INT_PTR CALLBACK gamePatchingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const PatchedGame &game : patchedGames)
            for (const char *item : driverItems)
                SendDlgItemMessageA(dialog, game.listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        loadGameDrivers(dialog);
        setApplyEnabled(dialog, false);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;

    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (code == BN_CLICKED) {
        if (!handleSaveButtons(dialog, id, saveGameDrivers)) setApplyEnabled(dialog, true);
    } else if (code == CBN_SELCHANGE || code == EN_CHANGE) {
        setApplyEnabled(dialog, true);
    }
    return FALSE;
}
