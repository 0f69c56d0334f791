// Message handling for tests whose windows live on the test's own thread.
#pragma once
#include <windows.h>

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
