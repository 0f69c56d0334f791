// Driving the system's modal choosers (colour, font, file) in tests. A chooser runs its own
// message loop on the test thread until it ends, so a second thread waits for it to show up,
// works its controls with messages, as a user's clicks would arrive, and makes sure it ends.
#pragma once
#include <windows.h>

#include <functional>
#include <thread>

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
