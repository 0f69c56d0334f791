// The Support page's links. The bench's prefix records shell opens of web and mail addresses in
// C:\users\Public\opened.txt instead of starting a browser or mail program. When a label is hot or
// locked is the link state's rule (tests/native/link_state_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/win_state.h"
#include "tests/win/win_test.h"
#include "ui/home_page.h"
#include "ui/link_state.h"
#include "ui/support_page.h"
#include "ui/support_page_ids.h"

namespace {

const char kOpenedFile[] = "C:\\users\\Public\\opened.txt";

// The addresses opened so far, one a line, each recorded in quotes (so that cmd reads an "&" in
// it as text).
std::vector<std::string> OpenedByShell() {
    std::vector<std::string> lines;
    char text[4096] = {};
    HANDLE file = CreateFileA(kOpenedFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    for (char* line = strtok(text, "\r\n"); line != nullptr; line = strtok(nullptr, "\r\n")) {
        std::string address = line;
        while (!address.empty() && (address.back() == ' ' || address.back() == '"')) address.pop_back();
        lines.push_back(address.substr(address[0] == '"' ? 1 : 0));
    }
    return lines;
}

// Handles messages until done() holds or timeoutMs have passed; whether done() held.
bool PumpUntil(bool (*done)(), DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
        Pump();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

// Three quick clicks, as a double click and one more within the lock-out, open the address once.
TEST(SupportPage, EachLinkOpensItsAddressOnceForQuickClicks) {
    g_win.instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateSupportPage(parent);
    ASSERT_NE(nullptr, page);
    const std::string mail = "mailto:support@tellwire.quillex.example?subject=Tellwire%20v.1.2";
    for (const auto& link : {std::make_pair(IDC_SUPPORT_WEBSITE, std::string(kHomePageAddress)),
                             std::make_pair(IDC_SUPPORT_EMAIL, mail)}) {
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

}  // namespace
