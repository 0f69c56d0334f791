#include "modem/thread_messages.h"

#include <windows.h>

#include "base/messages.h"
#include "base/process_state.h"
#include "modem/stopped_threads.h"

namespace {

// Each thread looks only for itself, and a slot is written whole before it is looked at by the
// thread it names, so the table needs no lock.
StoppedThreads s_stopped;

// Asked once per thread: every waiting loop of the modem side pumps every few milliseconds, and
// under Wine each question costs a trip to the server and a read of /proc, which made four idle
// port monitors alone take percents of a processor.
uint64_t ThreadCreationTime() {
    thread_local uint64_t created = 0;
    FILETIME times[4];  // created, exited, kernel, user
    if (created == 0 && GetThreadTimes(GetCurrentThread(), &times[0], &times[1], &times[2], &times[3])) {
        created = (static_cast<uint64_t>(times[0].dwHighDateTime) << 32) | times[0].dwLowDateTime;
    }
    return created;
}

}  // namespace

bool PumpThreadMessages() {
    MSG message;
    // Asking whether anything is queued costs a quarter of a peek under Wine, and the modem's
    // waiting loops ask every few milliseconds while nearly always nothing is.
    bool queued = HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0;
    while (queued && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == static_cast<UINT>(TMSG_STOP_THREAD)) {
            MarkThreadStopped(&s_stopped, GetCurrentThreadId(), ThreadCreationTime());
            return false;  // what is queued behind the stop stays there
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !StopRequested();
}

bool StopRequested() {
    return g_state.stop != 0 || IsThreadStopped(&s_stopped, GetCurrentThreadId(), ThreadCreationTime());
}
