// A program that crashes for real with the crash reporter installed, for the crash tests:
//   crash_probe [--thread | --overflow]
// writes to kFaultPage, a reserved page without memory behind it (on a second thread with
// --thread). "Ignore" runs that write again, so the fault repeats and the dialog comes back
// with its count, until the test gives the page its memory (VirtualAllocEx from outside): then
// the write after "Ignore" succeeds and the program ends with kContinued. "Abort the program"
// ends it with 0. --overflow raises the exception of a stack overflow on the main thread, as the
// system does when a thread has used up its stack; "Ignore" continues after it.
#include <windows.h>

#include <cstring>

#include "base/win_state.h"
#include "diag/crash_handler.h"

namespace {

// Far above anything the loader or the heap uses, so it is free in every run; the crash test
// knows it too.
char* const kFaultPage = reinterpret_cast<char*>(0x0000010000000000ull);
constexpr int kContinued = 7;
constexpr int kUnusable = 2;

DWORD WINAPI Fault(void*) {
    *reinterpret_cast<volatile int*>(kFaultPage + 16) = 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool onThread = argc == 2 && std::strcmp(argv[1], "--thread") == 0;
    bool overflow = argc == 2 && std::strcmp(argv[1], "--overflow") == 0;
    if (argc > 2 || (argc == 2 && !onThread && !overflow)) return kUnusable;
    if (VirtualAlloc(kFaultPage, 4096, MEM_RESERVE, PAGE_NOACCESS) != kFaultPage) return kUnusable;

    g_win.instance = GetModuleHandleA(nullptr);
    InstallCrashHandler();
    if (overflow) {
        // A real overflow leaves Wine too little stack to deliver the exception reliably; how
        // much is left depends on where the guard page is hit.
        RaiseException(EXCEPTION_STACK_OVERFLOW, 0, 0, nullptr);
        RestoreCrashHandler();
        return kContinued;
    }
    if (onThread) {
        HANDLE thread = CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    } else {
        Fault(nullptr);
    }
    RestoreCrashHandler();
    return kContinued;
}
