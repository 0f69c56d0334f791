// What the Win32 tests share: a message pump and waits, the settings wiped between tests, files
// read and written whole, the program log's lines, the bench modem's record, a stand-in main
// window with the fixture of page tests, and a driver for the system's modal choosers.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"

// --- The program's settings, removed so that every test starts from the defaults.
inline void WipeSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex"); }

// A stored text, "<none>" when it is missing or no text.
inline std::string StoredText(const char* name) {
    std::vector<char> text(1 << 20, '\0');
    return ReadSetting(name, text.data(), static_cast<DWORD>(text.size())) == REG_SZ ? text.data() : "<none>";
}

// --- Message handling for tests whose windows live on the test's own thread.

inline void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Waits for a thread while this thread keeps handling messages: loaders and agents reach the
// pages by sending to them, and the pages live on this thread.
inline bool WaitPumping(HANDLE handle, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - waited, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            Pump();
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) return false;
    }
}

// --- The lines of a program log list box, for tests.

// Read as wide text: Wine's ANSI LB_GETTEXT overruns its own stack for lines of about 1000
// characters or more. withTime false drops the 7-character time in front of each line.
inline std::vector<std::string> ListBoxLines(HWND list, bool withTime = true) {
    std::vector<std::string> lines;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring wide(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
        std::string line(wide.size() * 2, '\0');
        int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &line[0], static_cast<int>(line.size()), nullptr,
                                         nullptr);
        line.resize(length > 0 ? length - 1 : 0);
        lines.push_back(withTime ? line : (line.size() > 7 ? line.substr(7) : std::string()));
    }
    return lines;
}

// --- Files the tests write and read whole, sharing them with everyone else.

inline std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

inline std::string ReadFileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!text.empty()) ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    return text.substr(0, got);
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// --- The rows of a list view as it shows them: the cells of columns first to first + count - 1 of
// each row, joined by "|".
inline std::vector<std::string> ListRows(HWND list, int count, int first = 0) {
    std::vector<std::string> rows(static_cast<size_t>(ListView_GetItemCount(list)));
    for (size_t row = 0; row < rows.size(); ++row) {
        for (int column = first; column < first + count; ++column) {
            char cell[300] = "";
            ListView_GetItemText(list, static_cast<int>(row), column, cell, sizeof cell);
            rows[row] += (column > first ? "|" : "") + std::string(cell);
        }
    }
    return rows;
}

// --- What the shell was asked to open. The bench's prefix records shell opens of web and mail
// addresses and of folders in this file instead of starting a browser, a mail program or a
// folder window.

inline const char kOpenedFile[] = "C:\\users\\Public\\opened.txt";

// The text's lines, split at CR and at LF (a CR LF gives an empty line between, which callers skip).
inline std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// The addresses opened so far, one a line, each recorded in quotes (so that cmd reads an "&" in
// it as text).
inline std::vector<std::string> OpenedByShell() {
    std::vector<std::string> lines;
    for (std::string address : TextLines(ReadFileText(kOpenedFile))) {
        while (!address.empty() && (address.back() == ' ' || address.back() == '"')) address.pop_back();
        if (!address.empty()) lines.push_back(address.substr(address[0] == '"' ? 1 : 0));
    }
    return lines;
}

// Handles messages until done() holds or timeoutMs have passed; whether done() held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
        Pump();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

// --- What the bench's simulated modem on COM1 recorded, read from the Linux side's file.

// Every event of one kind ("cmd", "open", "close", ...), with its text, in order.
inline std::vector<std::string> RecordedEvents(const char* kind) {
    std::vector<std::string> events;
    const char* bench = getenv("TW_BENCH");
    if (bench == nullptr) return events;
    // Not "com1.*": such a name is the device COM1 to Windows.
    for (const std::string& line : TextLines(ReadFileText(std::string("Z:") + bench + "/modem1.rec"))) {
        size_t first = line.find(' ');
        if (first == std::string::npos) continue;
        size_t second = line.find(' ', first + 1);
        std::string lineKind = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
        if (lineKind == kind) events.push_back(second == std::string::npos ? "" : line.substr(second + 1));
    }
    return events;
}

// --- A shown stand-in for the main window, for tests of one page: a plain window that does nothing
// but host the page (a static control would paint over its children when it is enabled again
// after a modal chooser).

inline HWND CreateShownStandIn() {
    WNDCLASSA standIn{};
    standIn.lpfnWndProc = DefWindowProcA;
    standIn.hInstance = GetModuleHandleA(nullptr);
    standIn.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    standIn.lpszClassName = "TellwireTestMain";
    RegisterClassA(&standIn);  // a second registration fails, and the first one stands
    HWND window = CreateWindowExA(0, "TellwireTestMain", "main", WS_POPUP, 20, 20, 700, 360, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    // Shown without being activated: under Wine without a window manager, an activated window
    // takes two seconds to go away.
    if (window != nullptr) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// --- Tests of pages: the settings wiped and the process's state at its defaults, and a window that
// stands in for the main window, hidden, or shown when shown_ is set before SetUp (as the system's
// choosers need it). The pages made on it go with it.
class StandInTest : public testing::Test {
protected:
    void SetUp() override {
        WipeSettings();
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = shown_ ? CreateShownStandIn()
                         : CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 700, 400, nullptr, nullptr,
                                           nullptr, nullptr);
        ASSERT_NE(nullptr, parent_);
        g_win.mainWindow = parent_;
    }
    void TearDown() override {
        DestroyWindow(parent_);
        Pump();
        g_win.mainWindow = nullptr;
        g_state.stop = 0;
        WipeSettings();
    }
    bool shown_ = false;
    HWND parent_ = nullptr;
};

// --- Driving the system's modal choosers (colour, font, file) in tests. A chooser runs its own
// message loop on the test thread until it ends, so a second thread waits for it to show up,
// works its controls with messages, as a user's clicks would arrive, and makes sure it ends.

struct FoundDialog {
    HWND window;
};

inline BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    char className[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0) {
        reinterpret_cast<FoundDialog*>(found)->window = window;
        return FALSE;
    }
    return TRUE;
}

// The first shown dialog box of this process (pages are child windows, so not among them);
// nullptr after timeoutMs.
inline HWND WaitForShownDialog(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        FoundDialog found{nullptr};
        EnumWindows(FindShownDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr) return found.window;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(20);
    }
}

// Runs open() on this thread (it returns when the dialog has ended) while another thread waits
// for the dialog and runs act(dialog). A dialog still there 5 s after act is cancelled, so a
// test that fails never hangs. Returns whether a dialog was found.
inline bool WithDialog(const std::function<void()>& open, const std::function<void(HWND)>& act) {
    bool found = false;
    std::thread driver([&] {
        HWND dialog = WaitForShownDialog(10000);
        if (dialog == nullptr) return;
        found = true;
        act(dialog);
        DWORD start = GetTickCount();
        while (IsWindow(dialog) && GetTickCount() - start < 5000) Sleep(20);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
    return found;
}

// A button of the dialog pressed as a click reports it.
inline void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
