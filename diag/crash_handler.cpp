#include "diag/crash_handler.h"

#include <dbghelp.h>
#include <oleauto.h>

#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/crash_dialog.h"
#include "diag/crash_mail.h"
#include "diag/crash_report.h"
#include "diag/temp_file_list.h"

namespace {

// The filter that was there before ours; a plain process-wide value like the crash count.
LPTOP_LEVEL_EXCEPTION_FILTER s_previousFilter = nullptr;
bool s_installed = false;

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

OwnedHandle CreateTempFile(const char* path) {
    return OwnedHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The dump library tells about every module it writes; the report lists them afterwards.
BOOL CALLBACK CollectModule(void* parameter, const PMINIDUMP_CALLBACK_INPUT input, PMINIDUMP_CALLBACK_OUTPUT) {
    auto* context = static_cast<CrashContext*>(parameter);
    if (input == nullptr || input->CallbackType != ModuleCallback || input->Module.FullPath == nullptr) return TRUE;
    auto* record = static_cast<ModuleRecord*>(LocalAlloc(LPTR, sizeof(ModuleRecord)));
    if (record == nullptr) return TRUE;  // the dump goes on without this module in the report
    const MINIDUMP_MODULE_CALLBACK& module = input->Module;
    record->path = SysAllocString(module.FullPath);
    record->baseAddress = module.BaseOfImage;
    record->imageSize = module.SizeOfImage;
    record->checkSum = module.CheckSum;
    record->timeDateStamp = module.TimeDateStamp;
    record->versionInfo = module.VersionInfo;
    record->codeViewRecord = module.CvRecord;
    record->codeViewRecordSize = module.SizeOfCvRecord;
    record->miscRecord = module.MiscRecord;
    record->miscRecordSize = module.SizeOfMiscRecord;
    record->next = context->modules;
    context->modules = record;
    return TRUE;
}

size_t CountModules(const ModuleRecord* first) {
    size_t count = 0;
    for (const ModuleRecord* record = first; record != nullptr; record = record->next) ++count;
    return count;
}

// The module list in the report's plain form, the paths turned into 8-bit text. nullptr for
// no modules or no memory: the report then has no module lines.
CrashModule* MakeReportModules(const ModuleRecord* first, size_t* count) {
    *count = CountModules(first);
    if (*count == 0) return nullptr;
    auto* modules = static_cast<CrashModule*>(LocalAlloc(LPTR, *count * sizeof(CrashModule)));
    if (modules == nullptr) {
        *count = 0;
        return nullptr;
    }
    size_t i = 0;
    for (const ModuleRecord* record = first; record != nullptr; record = record->next, ++i) {
        CrashModule& module = modules[i];
        if (record->path != nullptr &&
            WideCharToMultiByte(CP_ACP, 0, record->path, -1, module.path, sizeof module.path, nullptr, nullptr) == 0) {
            module.path[0] = '\0';  // longer than any path the system loads from
        }
        module.base = record->baseAddress;
        module.imageSize = record->imageSize;
        module.fileVersionMS = record->versionInfo.dwFileVersionMS;
        module.fileVersionLS = record->versionInfo.dwFileVersionLS;
        module.productVersionMS = record->versionInfo.dwProductVersionMS;
        module.productVersionLS = record->versionInfo.dwProductVersionLS;
    }
    return modules;
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

struct CrashOnThread {
    EXCEPTION_POINTERS* pointers;
    DWORD faultingThreadId;
};

DWORD WINAPI HandleCrashThread(void* parameter) {
    auto* crash = static_cast<CrashOnThread*>(parameter);
    return static_cast<DWORD>(HandleCrashOf(crash->pointers, crash->faultingThreadId));
}

// A thread whose stack overflowed has only the little reserve below its guard page left: the
// dump, the dialog and the mail would overflow it again and the crash would go unreported. They
// run on a thread with a stack of its own while the faulting thread waits.
LONG HandleCrashOnFreshStack(EXCEPTION_POINTERS* pointers) {
    CrashOnThread crash{pointers, GetCurrentThreadId()};
    OwnedHandle thread(CreateThread(nullptr, 0, HandleCrashThread, &crash, 0, nullptr));
    if (!thread) return HandleCrash(pointers);
    WaitForSingleObject(thread.get(), INFINITE);
    DWORD result = static_cast<DWORD>(EXCEPTION_CONTINUE_SEARCH);
    GetExitCodeThread(thread.get(), &result);
    return static_cast<LONG>(result);
}

bool IsStackOverflow(const EXCEPTION_POINTERS* pointers) {
    return pointers != nullptr && pointers->ExceptionRecord != nullptr &&
           pointers->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW;
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

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    // A fault while the crash is handled goes to the filter that was there before.
    RestoreCrashHandler();
    LONG result = IsStackOverflow(pointers) ? HandleCrashOnFreshStack(pointers) : HandleCrash(pointers);
    InstallCrashHandler();
    return result;
}

LONG HandleCrash(EXCEPTION_POINTERS* pointers) { return HandleCrashOf(pointers, GetCurrentThreadId()); }

LONG HandleCrashOf(EXCEPTION_POINTERS* pointers, DWORD faultingThreadId) {
    if (pointers == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    INT_PTR choice = kCrashAbort;
    auto* context = static_cast<CrashContext*>(LocalAlloc(LPTR, sizeof(CrashContext)));
    if (context != nullptr) {
        context->faultingThreadId = faultingThreadId;
        WriteMiniDump(pointers, context);
        BuildCrashReport(pointers, context);
        choice = ShowCrashDialog(context);
        bool leftForUser = context->recipient[0] != '\0' && SendCrashReport(context);
        FreeModuleList(context->modules);
        if (!leftForUser) DeleteTempFiles(context->tempFiles);
        if (context->tempFiles != nullptr) LocalFree(context->tempFiles);
        LocalFree(context);
    }
    if (choice == kCrashAbort) {
        TerminateProcess(GetCurrentProcess(), 0);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    return choice == kCrashContinue ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

bool MakeTempFileName(char* buffer, const char* extension) {
    char directory[MAX_PATH + 1];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH) {
        buffer[0] = '\0';
        return false;
    }
    return MakeTempPath(directory, extension, buffer, MAX_PATH);
}

char* AppendMultiString(char* list, const char* text) {
    if (text == nullptr) return list;
    size_t size = AppendMultiStringSize(list, text);
    auto* block = static_cast<char*>(LocalAlloc(LPTR, size));
    if (block == nullptr) return list;
    AppendMultiStringInto(block, size, list, text);
    if (list != nullptr) LocalFree(list);
    return block;
}

void AddTempFile(CrashContext* context, const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return;
    context->tempFiles = AppendMultiString(context->tempFiles, path);
}

void DeleteTempFiles(const char* list) {
    char directory[MAX_PATH + 1];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH) return;
    for (size_t i = 0;; ++i) {
        const char* path = MultiStringAt(list, i);
        if (path == nullptr) break;
        // Only what we made ourselves: a path from anywhere else is left alone.
        if (PathInDirectory(path, directory)) DeleteFileA(path);
    }
}

void FreeModuleList(ModuleRecord* first) {
    while (first != nullptr) {
        ModuleRecord* next = first->next;
        if (first->path != nullptr) SysFreeString(first->path);
        LocalFree(first);
        first = next;
    }
}

void WriteMiniDump(EXCEPTION_POINTERS* pointers, CrashContext* context) {
    OwnedLibrary library(LoadLibraryA("DBGHELP.DLL"));
    if (!library) return;
    auto writeDump = reinterpret_cast<MiniDumpWriteDumpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "MiniDumpWriteDump")));
    char path[MAX_PATH];
    OwnedHandle file;
    if (writeDump != nullptr && MakeTempFileName(path, "dmp")) file = CreateTempFile(path);
    if (file) {
        MINIDUMP_EXCEPTION_INFORMATION exception{context->faultingThreadId, pointers, TRUE};
        MINIDUMP_CALLBACK_INFORMATION callback{CollectModule, context};
        writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), MiniDumpNormal, &exception, nullptr,
                  &callback);
        AddTempFile(context, path);
    }
}

void BuildCrashReport(EXCEPTION_POINTERS* pointers, CrashContext* context) {
    char path[MAX_PATH];
    if (!MakeTempFileName(path, "txt")) return;
    OwnedHandle file = CreateTempFile(path);
    if (!file) return;
    AddTempFile(context, path);

    char application[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, application, sizeof application);
    if (length == 0 || length >= sizeof application) application[0] = '\0';
    CopyText(context->modulePath, sizeof context->modulePath, application);

    CrashFacts facts{};
    facts.applicationPath = application;
    if (pointers->ExceptionRecord != nullptr) ReadException(pointers->ExceptionRecord, &facts);
    OSVERSIONINFOA version{};
    ReadSystem(&facts, &version);
    CrashModule* modules = MakeReportModules(context->modules, &facts.moduleCount);
    facts.modules = modules;
    if (facts.hasRecord) {
        const CrashModule* faulting = FindFaultingModule(modules, facts.moduleCount, facts.address);
        if (faulting != nullptr) CopyText(context->modulePath, sizeof context->modulePath, faulting->path);
    }
    WriteCrashReport(facts, ReportSink{WriteToFile, file.get()});
    if (modules != nullptr) LocalFree(modules);
}
