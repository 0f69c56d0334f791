// The Support page's links and its start at sign-in. The bench's prefix records shell opens of
// web and mail addresses and of folders in C:\users\Public\opened.txt instead of starting a
// browser, mail program or folder window. When a label is hot or locked is the link state's rule
// (tests/native/link_state_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/win_state.h"
#include "present/caller_log_page.h"
#include "tests/win/win_test.h"
#include "ui/home_page.h"
#include "ui/link_state.h"
#include "ui/support_page.h"
#include "ui/support_page_ids.h"

namespace {

// Three quick clicks, as a double click and one more within the lock-out, open the address once.
TEST(SupportPage, EachLinkOpensItsAddressOnceForQuickClicks) {
    g_win.instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateSupportPage(parent);
    ASSERT_NE(nullptr, page);
    const std::string mail = "mailto:support@tellwire.quillex.example?subject=Tellwire%20v.1.2";
    char log[MAX_PATH];
    GetCallerLogPath(log);
    std::string files(log, strrchr(log, '\\'));  // the folder that holds the caller log
    for (const auto& link : {std::make_pair(IDC_SUPPORT_WEBSITE, std::string(kHomePageAddress)),
                             std::make_pair(IDC_SUPPORT_EMAIL, mail), std::make_pair(IDC_SUPPORT_FILES, files)}) {
        SCOPED_TRACE(link.second);
        DeleteFileA(kOpenedFile);
        HWND label = GetDlgItem(page, link.first);
        RECT rect;
        GetWindowRect(label, &rect);
        // Only a static control that notifies takes the mouse at all, instead of passing it on.
        EXPECT_EQ(HTCLIENT, SendMessageA(label, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 2, rect.top + 2)));
        for (int click = 0; click < 3; ++click) {
            SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(label, WM_LBUTTONUP, 0, 0);  // sent, so it reaches the label also while disabled
            EXPECT_FALSE(IsWindowEnabled(label)) << "locked by the click";
        }
        ASSERT_TRUE(PumpUntil([] { return !OpenedByShell().empty(); }, 20000));
        PumpUntil([] { return false; }, 2500);  // time for a second open to be recorded, were there one
        EXPECT_TRUE(IsWindowEnabled(label)) << "unlocked after " << kLinkLockoutMs << " ms";
        EXPECT_EQ(std::vector<std::string>{link.second}, OpenedByShell());
    }
    DestroyWindow(parent);
    Pump();
    DeleteFileA(kOpenedFile);
}

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run value, or "(none)".
std::string RunValue() {
    char value[MAX_PATH + 8] = "";
    DWORD size = sizeof value;
    LONG read = RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Tellwire", RRF_RT_REG_SZ, nullptr, value, &size);
    return read == ERROR_SUCCESS ? value : "(none)";
}

// The box writes and removes the value at once, and shows it as it is whenever the page is shown:
// a value the user removed by hand is off.
TEST(SupportPage, StartWithWindowsIsTheRunValue) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Tellwire");
    g_win.instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateSupportPage(parent);
    ASSERT_NE(nullptr, page);
    HWND box = GetDlgItem(page, IDC_SUPPORT_START_WITH_WINDOWS);
    auto checked = [&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_FALSE(checked());
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ("\"" + std::string(program) + "\"", RunValue());  // quoted: the path may hold blanks
    EXPECT_TRUE(checked());
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ("(none)", RunValue());
    EXPECT_FALSE(checked());
    const std::pair<const char*, bool> byHand[] = {{"\"C:\\Tellwire\\tellwire.exe\"", true}, {nullptr, false}};
    for (const auto& [value, shown] : byHand) {
        if (value != nullptr) {
            RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Tellwire", REG_SZ, value, lstrlenA(value) + 1);
        } else {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Tellwire");
        }
        SendMessageA(page, WM_COMMAND, CMD_PAGE_ACTIVATE, 1);
        EXPECT_EQ(shown, checked()) << (value != nullptr ? value : "(removed)");
    }
    DestroyWindow(parent);
    Pump();
}

}  // namespace
