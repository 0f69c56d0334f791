#include "diag/crash_handler.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstring>
#include <initializer_list>

#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/crash_context.h"
#include "diag/crash_dialog.h"
#include "diag/crash_mail.h"
#include "diag/temp_file_path.h"

namespace {

// The filter that was there before ours; a plain process-wide value like the crash count.
LPTOP_LEVEL_EXCEPTION_FILTER s_previousFilter = nullptr;
bool s_installed = false;

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// The system's temporary directory; false when there is none or it leaves no room for a file name.
bool GetTempDirectory(char (&directory)[MAX_PATH + 1]) {
    DWORD length = GetTempPathA(MAX_PATH, directory);
    return length != 0 && length < MAX_PATH;
}

// The temporary directory's "tlwire." file with this extension, made anew for writing; its name goes to path.
OwnedHandle CreateTempFile(const char* extension, char (&path)[MAX_PATH]) {
    char directory[MAX_PATH + 1];
    if (!GetTempDirectory(directory) || !MakeTempPath(directory, extension, path, sizeof path)) return OwnedHandle();
    return OwnedHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Where the file was written, so the dialog shows it, the mail takes it and the end deletes it.
void KeepWrittenPath(const char* path, char (&kept)[MAX_PATH]) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) CopyText(kept, sizeof kept, path);
}

// The dump library tells about every module it writes; the report lists them afterwards, the
// most recently reported first.
BOOL CALLBACK CollectModule(void* parameter, const PMINIDUMP_CALLBACK_INPUT input, PMINIDUMP_CALLBACK_OUTPUT) {
    auto* context = static_cast<CrashContext*>(parameter);
    if (input == nullptr || input->CallbackType != ModuleCallback || input->Module.FullPath == nullptr) return TRUE;
    size_t count = context->moduleCount;
    auto* modules = static_cast<CrashModule*>(LocalAlloc(LPTR, (count + 1) * sizeof(CrashModule)));
    if (modules == nullptr) return TRUE;  // the dump goes on without this module in the report
    if (count > 0) std::memcpy(modules + 1, context->modules, count * sizeof(CrashModule));
    LocalFree(context->modules);
    context->modules = modules;
    context->moduleCount = count + 1;
    const MINIDUMP_MODULE_CALLBACK& from = input->Module;
    CrashModule& module = modules[0];
    if (WideCharToMultiByte(CP_ACP, 0, from.FullPath, -1, module.path, sizeof module.path, nullptr, nullptr) == 0) {
        module.path[0] = '\0';  // longer than any path the system loads from
    }
    module.base = from.BaseOfImage;
    module.imageSize = from.SizeOfImage;
    module.fileVersionMS = from.VersionInfo.dwFileVersionMS;
    module.fileVersionLS = from.VersionInfo.dwFileVersionLS;
    module.productVersionMS = from.VersionInfo.dwProductVersionMS;
    module.productVersionLS = from.VersionInfo.dwProductVersionLS;
    return TRUE;
}

void WriteToFile(void* file, const char* text, size_t length) {
    DWORD written = 0;
    WriteFile(static_cast<HANDLE>(file), text, static_cast<DWORD>(length), &written, nullptr);
}

void ReadException(const EXCEPTION_RECORD* record, CrashFacts* facts) {
    facts->hasRecord = true;
    facts->code = record->ExceptionCode;
    facts->flags = record->ExceptionFlags;
    facts->address = reinterpret_cast<ULONG_PTR>(record->ExceptionAddress);
    facts->parameterCount = record->NumberParameters;
    for (DWORD i = 0; i < record->NumberParameters && i < kMaxExceptionParameters; ++i) {
        facts->parameters[i] = record->ExceptionInformation[i];
    }
}

void ReadSystem(CrashFacts* facts, OSVERSIONINFOA* version) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    facts->processorArchitecture = system.wProcessorArchitecture;
    facts->processorLevel = system.wProcessorLevel;
    facts->processorCount = system.dwNumberOfProcessors;
    version->dwOSVersionInfoSize = sizeof *version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(version);
#pragma GCC diagnostic pop
    facts->osMajor = version->dwMajorVersion;
    facts->osMinor = version->dwMinorVersion;
    facts->osBuild = version->dwBuildNumber;
    facts->servicePack = version->szCSDVersion;
}

void WriteMiniDump(EXCEPTION_POINTERS* pointers, CrashContext* context) {
    OwnedLibrary library(LoadLibraryA("DBGHELP.DLL"));
    if (!library) return;
    auto writeDump = reinterpret_cast<MiniDumpWriteDumpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "MiniDumpWriteDump")));
    if (writeDump == nullptr) return;
    char path[MAX_PATH];
    OwnedHandle file = CreateTempFile("dmp", path);
    if (!file) return;
    MINIDUMP_EXCEPTION_INFORMATION exception{context->faultingThreadId, pointers, TRUE};
    MINIDUMP_CALLBACK_INFORMATION callback{CollectModule, context};
    writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), MiniDumpNormal, &exception, nullptr, &callback);
    KeepWrittenPath(path, context->dumpPath);
}

void BuildCrashReport(EXCEPTION_POINTERS* pointers, CrashContext* context) {
    char path[MAX_PATH];
    OwnedHandle file = CreateTempFile("txt", path);
    if (!file) return;
    KeepWrittenPath(path, context->reportPath);

    char application[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, application, sizeof application);
    if (length == 0 || length >= sizeof application) application[0] = '\0';
    CrashFacts facts{};
    facts.applicationPath = application;
    if (pointers->ExceptionRecord != nullptr) ReadException(pointers->ExceptionRecord, &facts);
    OSVERSIONINFOA version{};
    ReadSystem(&facts, &version);
    facts.modules = context->modules;
    facts.moduleCount = context->moduleCount;
    WriteCrashReport(facts, ReportSink{WriteToFile, file.get()});
}

// EXCEPTION_CONTINUE_EXECUTION after Ignore, EXCEPTION_CONTINUE_SEARCH when no dialog could be
// shown; after Abort the process is ended before it returns.
LONG HandleCrash(EXCEPTION_POINTERS* pointers, DWORD faultingThreadId) {
    if (pointers == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    INT_PTR choice = kCrashAbort;
    auto* context = static_cast<CrashContext*>(LocalAlloc(LPTR, sizeof(CrashContext)));
    if (context != nullptr) {
        context->faultingThreadId = faultingThreadId;
        WriteMiniDump(pointers, context);
        BuildCrashReport(pointers, context);
        choice = ShowCrashDialog(context);
        bool leftForUser = context->recipient[0] != '\0' && SendCrashReport(context);
        if (!leftForUser) {
            for (const char* path : {context->dumpPath, context->reportPath}) DeleteFileA(path);
        }
        LocalFree(context->modules);
        LocalFree(context);
    }
    if (choice == kCrashAbort) {
        TerminateProcess(GetCurrentProcess(), 0);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    return choice == kCrashContinue ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

struct CrashOnThread {
    EXCEPTION_POINTERS* pointers;
    DWORD faultingThreadId;
};

DWORD WINAPI HandleCrashThread(void* parameter) {
    auto* crash = static_cast<CrashOnThread*>(parameter);
    return static_cast<DWORD>(HandleCrash(crash->pointers, crash->faultingThreadId));
}

// A thread whose stack overflowed has only the little reserve below its guard page left: the
// dump, the dialog and the mail would overflow it again and the crash would go unreported. They
// run on a thread with a stack of its own while the faulting thread waits.
LONG HandleCrashOnFreshStack(EXCEPTION_POINTERS* pointers) {
    CrashOnThread crash{pointers, GetCurrentThreadId()};
    OwnedHandle thread(CreateThread(nullptr, 0, HandleCrashThread, &crash, 0, nullptr));
    if (!thread) return HandleCrash(pointers, crash.faultingThreadId);
    WaitForSingleObject(thread.get(), INFINITE);
    DWORD result = static_cast<DWORD>(EXCEPTION_CONTINUE_SEARCH);
    GetExitCodeThread(thread.get(), &result);
    return static_cast<LONG>(result);
}

bool IsStackOverflow(const EXCEPTION_POINTERS* pointers) {
    return pointers != nullptr && pointers->ExceptionRecord != nullptr &&
           pointers->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    // A fault while the crash is handled goes to the filter that was there before.
    RestoreCrashHandler();
    LONG result =
        IsStackOverflow(pointers) ? HandleCrashOnFreshStack(pointers) : HandleCrash(pointers, GetCurrentThreadId());
    InstallCrashHandler();
    return result;
}

}  // namespace

void InstallCrashHandler() {
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(CrashFilter);
    if (previous != CrashFilter) {  // installed twice: keep the real previous one
        s_previousFilter = previous;
        s_installed = true;
    }
}

void RestoreCrashHandler() {
    if (!s_installed) return;
    SetUnhandledExceptionFilter(s_previousFilter);
    s_previousFilter = nullptr;
    s_installed = false;
}
