// A shown stand-in for the main window, for tests of one page: a plain window that does nothing
// but host the page (a static control would paint over its children when it is enabled again
// after a modal chooser).
#pragma once
#include <windows.h>

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
