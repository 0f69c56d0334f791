// Reads and drives a running copy of the program from outside, as a user's tools would: finds it
// through "hWnd" and talks to its windows with messages. End-to-end tests run it beside
// tellwire.exe in the same Wine prefix.
//
//   probe main-window        prints the running copy's main window handle; exit 1 if none
//   probe visible            prints 1 when the main window is shown, else 0
//   probe command ID         posts WM_COMMAND ID to the main window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/main_window.h"

namespace {

HWND RunningWindow() {
    HWND window = ReadRunningMainWindow();
    return (window != nullptr && IsWindow(window)) ? window : nullptr;
}

int Usage() {
    std::fputs("usage: probe main-window | visible | command ID\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* verb = argv[1];
    HWND window = RunningWindow();
    if (std::strcmp(verb, "main-window") == 0) {
        if (window == nullptr) return 1;
        std::printf("%p\n", static_cast<void*>(window));
        return 0;
    }
    if (std::strcmp(verb, "visible") == 0) {
        std::printf("%d\n", window != nullptr && IsWindowVisible(window) ? 1 : 0);
        return 0;
    }
    if (std::strcmp(verb, "command") == 0 && argc == 3) {
        if (window == nullptr) return 1;
        return PostMessageA(window, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    }
    return Usage();
}
