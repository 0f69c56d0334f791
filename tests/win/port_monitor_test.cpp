// A port monitor on the bench's simulated modem (COM1): it configures the modem, reopens the port
// with new settings after the page saves them, and ends with its page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "modem/modem_page.h"
#include "modem/modem_page_ids.h"
#include "tests/win/bench_record.h"
#include "ui/choice_list.h"

namespace {

// Handles messages (the monitor reads the page through them) until done() or ms have passed.
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

size_t Count(const std::vector<std::string>& events, const std::string& text) {
    size_t n = 0;
    for (const std::string& event : events) n += event == text;
    return n;
}

TEST(PortMonitor, ConfiguresReopensOnNewSettingsAndEnds) {
    if (RecordedEvents("open").empty() && getenv("TW_BENCH") == nullptr) GTEST_SKIP() << "run from the bench";
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
    SetProcessDefaults(&g_state);
    g_state.role = 2;
    g_win.instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    g_win.mainWindow = parent;
    CreateProgramLogPage(parent);
    WriteSettingDword("COM1_enabled", 1);
    WriteSetting("COM1_cid", "AT+VCID=1", 10, REG_SZ);

    size_t configured = Count(RecordedEvents("cmd"), "AT+VCID=1");
    size_t opened = RecordedEvents("open").size();
    HWND page = CreateModemPage(parent, 1);
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(PumpUntil([&] { return Count(RecordedEvents("cmd"), "AT+VCID=1") > configured; }, 15000))
        << "the modem was not configured";

    // A new baud rate saved on the page: the port closes, and opens again about 5 s later.
    size_t closed = RecordedEvents("close").size();
    SelectChoiceByData(page, IDC_MODEM_BAUD_RATE, 9600);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_MODEM_BAUD_RATE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_MODEM_BAUD_RATE)));
    SendMessageA(page, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ(9600u, ReadSettingDword("COM1_baud_rate", 0));
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("close").size() > closed; }, 5000)) << "the port stayed open";
    DWORD reopenStart = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("open").size() > opened + 1; }, 15000)) << "not reopened";
    EXPECT_GE(GetTickCount() - reopenStart, 3000u);  // the pause before the port is taken again
    EXPECT_TRUE(PumpUntil([&] { return Count(RecordedEvents("cmd"), "AT+VCID=1") > configured + 1; }, 15000))
        << "not configured again";

    // The page goes (the program ends): the monitor stops and lets go of the port at once.
    closed = RecordedEvents("close").size();
    DWORD start = GetTickCount();
    DestroyWindow(page);
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("close").size() > closed; }, 3000));
    DestroyWindow(parent);
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
}

}  // namespace
