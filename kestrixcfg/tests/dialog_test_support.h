// Drives the kestrixcfg dialog procedures on the simulated platform: the simulation's DialogBoxParamA runs
// WM_INITDIALOG and then a script that plays the user.
#ifndef KESTRIXCFG_DIALOG_TEST_SUPPORT_H
#define KESTRIXCFG_DIALOG_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "sim/sim.h"
#include "game_patching.h"
#include "resource_ids.h"
#include "settings_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::reset();
        settingsVariables = initialSettingsVariables;
    }
    void TearDown() override { EXPECT_EQ(sim::leakReport(), ""); }
    // Between the cases of a table: check for leaks, then start again on an empty platform.
    void restart() {
        EXPECT_EQ(sim::leakReport(), "");
        SetUp();
    }

    static INT_PTR runSettingsDialog(std::function<void(HWND)> script) {
        sim::setDialogScript(std::move(script));
        return DialogBoxParamA(NULL, "KESTRIX", NULL, settingsDialogProc, 0);
    }
    static INT_PTR runGamePatchingDialog(std::function<void(HWND)> script) {
        sim::setDialogScript(std::move(script));
        return DialogBoxParamA(NULL, "KGP", NULL, gamePatchingDialogProc, 0);
    }

    static bool checked(HWND dialog, int id) {
        return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // An automatic check box flips itself, then tells the dialog.
    static void click(HWND dialog, int id) {
        HWND box = GetDlgItem(dialog, id);
        SendMessageA(box, BM_SETCHECK, SendMessageA(box, BM_GETCHECK, 0, 0) ? BST_UNCHECKED : BST_CHECKED, 0);
        sim::dialogCommand(dialog, id, BN_CLICKED);
    }
    static void press(HWND dialog, int id) { sim::dialogCommand(dialog, id, BN_CLICKED); }
    static LRESULT selection(HWND dialog, int id) {
        return SendMessageA(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0);
    }
    static void choose(HWND dialog, int id, int item) {
        SendMessageA(GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        sim::dialogCommand(dialog, id, CBN_SELCHANGE);
    }
    static std::vector<std::string> items(HWND dialog, int id) {
        std::vector<std::string> out;
        HWND list = GetDlgItem(dialog, id);
        LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            out.push_back(text);
        }
        return out;
    }
    static bool applyEnabled(HWND dialog) { return sim::windowEnabled(GetDlgItem(dialog, IDC_APPLY)); }

    // The stored DWORD, or -1 when the value is missing or not a 4-byte REG_DWORD.
    static long long storeDword(const char *name) {
        DWORD type = 0;
        std::vector<unsigned char> bytes;
        if (!sim::registryValue(HKEY_LOCAL_MACHINE, settingsKeyPath, name, &type, &bytes)) return -1;
        if (type != REG_DWORD || bytes.size() != 4) return -1;
        DWORD value = 0;
        std::memcpy(&value, bytes.data(), 4);
        return value;
    }
    // The raw bytes of a game's "Thrash Driver", or "<missing>"; non-REG_SZ types are marked.
    static std::string driverValue(const char *key) {
        DWORD type = 0;
        std::vector<unsigned char> bytes;
        if (!sim::registryValue(HKEY_LOCAL_MACHINE, key, "Thrash Driver", &type, &bytes)) return "<missing>";
        std::string text(bytes.begin(), bytes.end());
        return type == REG_SZ ? text : "<type " + std::to_string(type) + "> " + text;
    }
};

#endif
