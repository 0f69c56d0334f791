#include "modem/thread_messages.h"

#include <windows.h>

#include "app/messages.h"
#include "modem/stopped_threads.h"

namespace {

// Each thread looks only for itself, and a slot is written whole before it is looked at by the
// thread it names, so the table needs no lock.
StoppedThreads s_stopped;

uint64_t ThreadCreationTime() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

bool PumpThreadMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == static_cast<UINT>(TMSG_STOP_THREAD)) {
            MarkThreadStopped(&s_stopped, GetCurrentThreadId(), ThreadCreationTime());
            return false;  // what is queued behind the stop stays there
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !IsThreadStopped(&s_stopped, GetCurrentThreadId(), ThreadCreationTime());
}
