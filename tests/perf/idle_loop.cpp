// The baseline of the idle benchmark: a program that does nothing but run an empty message loop
// behind a hidden window, as the program itself does when no call comes. Whatever the program
// costs beyond this while idle is its own work.
#include <windows.h>

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "idle loop", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
