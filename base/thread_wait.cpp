#include "base/thread_wait.h"

#include "base/process_state.h"
#include "base/win_clock.h"

bool WaitForThreadHandlingSends(HANDLE thread, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD waited = TicksSince(start);
        if (waited >= ms) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, ms - waited, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
    }
}

bool SleepUnlessStopping(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (g_state.stop != 0) return false;
        Sleep(50);
    }
    return g_state.stop == 0;
}
