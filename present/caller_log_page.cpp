#include "present/caller_log_page.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>

#include "app/data_files.h"
#include "app/error_text.h"
#include "app/messages.h"
#include "app/process_state.h"
#include "app/read_whole_file.h"
#include "app/text_utils.h"
#include "app/page_loader.h"
#include "app/thread_wait.h"
#include "app/win_state.h"
#include "diag/program_log.h"
#include "present/caller_log_format.h"
#include "present/caller_log_ids.h"
#include "present/phone_number_format.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"

namespace {

constexpr char kChangedProperty[] = "ch";
constexpr DWORD kLoaderDelayMs = 1000;
constexpr DWORD kLoaderWaitMs = 60000;

std::atomic<HWND> s_page{nullptr};  // set once by the UI thread; every thread reaches the list by it
// What the loader found: written by the loader thread, read before every full save.
std::atomic<DataFileState> s_fileState{DataFileState::Missing};
// True once the list holds the whole file (or there was no file): only such a list may replace
// it. A loader stopped halfway by the end of the program leaves a list that lacks the rest.
std::atomic<bool> s_listHoldsFile{false};
// A call announced before the loader has read the file is in the file it reads, so it must not be
// added to the list a second time; the lock keeps the loader's read and such an append apart.
// It also keeps every append apart from every rewrite: a line appended to the old file while the
// list is being written to the new one would be gone with the old file.
std::mutex s_fileLock;
bool s_loaderHasRead = false;  // under s_fileLock

// Holds s_fileLock. The waiting thread keeps carrying out what other threads send it: on the
// user-interface thread the holder may be adding its row to this very list.
class FileLock {
public:
    FileLock() {
        while (!s_fileLock.try_lock()) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            Sleep(1);
        }
    }
    ~FileLock() { s_fileLock.unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
};

DWORD WINAPI CallerLogLoader(void* parameter) {
    HWND page = static_cast<HWND>(parameter);
    // Let start-up finish first; a program that ends meanwhile does not wait for the delay.
    if (!SleepUnlessStopping(kLoaderDelayMs)) return 1;
    char path[MAX_PATH];
    GetCallerLogPath(path);
    DWORD size = 0;
    char* text = nullptr;
    {
        FileLock hold;
        text = ReadWholeFile(path, &size);
        s_loaderHasRead = true;
    }
    if (text == nullptr) {
        s_fileState = StateAfterFailedRead(path);
        s_listHoldsFile = s_fileState == DataFileState::Missing;
        return 1;
    }
    CallerLogCursor cursor{text, size, 0};
    CallerLogRecord record;
    bool row = false;
    bool whole = true;
    while (NextCallerLogRecord(&cursor, &record, &row)) {
        if (g_state.stop != 0) {
            whole = false;
            break;
        }
        if (row) AddCallerLogRow(record.date, record.time, record.name, record.number);
    }
    LocalFree(text);
    s_fileState = DataFileState::Loaded;
    s_listHoldsFile = whole;
    PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}

void OnInitDialog(HWND page) {
    {
        std::lock_guard<std::mutex> hold(s_fileLock);
        s_loaderHasRead = false;
    }
    s_listHoldsFile = false;
    s_page = page;
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 0, 15, IDS_COLUMN_DATE);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 1, 15, IDS_COLUMN_TIME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 2, 45, IDS_COLUMN_NAME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 3, 25, IDS_COLUMN_NUMBER);
    HANDLE loader = CreateThread(nullptr, 0, CallerLogLoader, page, 0, nullptr);
    if (loader != nullptr) {
        KeepPageLoader(page, loader);
    } else {
        std::lock_guard<std::mutex> hold(s_fileLock);
        s_loaderHasRead = true;  // no loader: calls go straight into the list
    }
}

void ShowLastRow(HWND page) {
    int rows = static_cast<int>(SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_GETITEMCOUNT, 0, 0));
    if (rows > 0) SelectListRow(page, IDC_CALLER_LOG_LIST, rows - 1);
}

void OnCommand(HWND page, int id) {
    switch (id) {
    case CMD_REFRESH: ShowLastRow(page); break;
    case CMD_PAGE_SAVE:
        if (!PageLoaderRunning(page)) SaveCallerLog(page);
        break;
    default: break;
    }
}

void OnNotify(HWND page, const NMHDR* header) {
    if (header->idFrom != IDC_CALLER_LOG_LIST || header->code != LVN_KEYDOWN) return;
    if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey != VK_DELETE) return;
    DeleteSelectedRows(page, IDC_CALLER_LOG_LIST);
    SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(7));
}

void OnSize(HWND page, int width, int height) {
    MoveWindow(GetDlgItem(page, IDC_CALLER_LOG_LIST), 2, 0, width - 4, height - 2, TRUE);
}

void OnDestroy(HWND page) {
    bool loaderEnded = EndPageLoader(page, kLoaderWaitMs);
    // A list the loader is still filling must not replace the file.
    if (RemovePropA(page, kChangedProperty) != nullptr && loaderEnded) SaveCallerLog(page);
    s_page = nullptr;
}

INT_PTR CALLBACK CallerLogPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: OnNotify(page, reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case WM_SIZE: OnSize(page, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

bool WriteRows(HWND page, HANDLE file) {
    int rows = static_cast<int>(SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char date[kLogFieldSize];
        char time[kLogFieldSize];
        char name[256];
        char number[kLogFieldSize];
        GetListCell(page, IDC_CALLER_LOG_LIST, row, 0, date, sizeof date);
        GetListCell(page, IDC_CALLER_LOG_LIST, row, 1, time, sizeof time);
        GetListCell(page, IDC_CALLER_LOG_LIST, row, 2, name, sizeof name);
        GetListCell(page, IDC_CALLER_LOG_LIST, row, 3, number, sizeof number);
        char line[kLogLineSize];
        if (!MakeSavedCallerLogLine(date, time, number, name, line, sizeof line)) continue;
        DWORD length = static_cast<DWORD>(lstrlenA(line));
        DWORD written = 0;
        if (!WriteFile(file, line, length, &written, nullptr) || written != length) return false;
    }
    return true;
}

}  // namespace

HWND CreateCallerLogPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_CALLER_LOG_PAGE), mainWindow, CallerLogPageProc, 0);
}

void GetCallerLogPath(char* buffer) { GetDataFilePath(kSettingCallerLogPath, "log", buffer); }

void AddCallerLogRow(const char* date, const char* time, const char* name, const char* number) {
    HWND page = s_page;
    if (page == nullptr) return;
    char shown[kLogFieldSize];
    CopyText(shown, sizeof shown, number);
    FormatPhoneNumber(shown, sizeof shown);
    AddListRow(page, IDC_CALLER_LOG_LIST, 0, date, time, name, shown, static_cast<const char*>(nullptr));
}

void AddCallerLogEntry(const char* name, const char* number) {
    HWND page = s_page;
    if (page != nullptr && !PageLoaderRunning(page) && RemovePropA(page, kChangedProperty) != nullptr) {
        SaveCallerLog(page);  // the file matches the list again before the new line goes on it
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    char time[16];
    FormatLogDate(date, sizeof date, now.wYear, now.wMonth, now.wDay);
    FormatLogTime(time, sizeof time, now.wHour, now.wMinute, now.wSecond);
    char stripped[kLogFieldSize];
    CopyText(stripped, sizeof stripped, number);
    StripBlanks(stripped);
    char line[kLogLineSize];
    FormatCallerLogLine(line, sizeof line, date, time, stripped, name != nullptr ? name : "");
    char path[MAX_PATH];
    GetCallerLogPath(path);
    {
        FileLock hold;
        bool loaderWillShowIt = page != nullptr && !s_loaderHasRead && path[0] != '\0';
        if (path[0] != '\0') AppendTextToFile(path, line);
        // The row goes in before any rewrite can start: one that read the list without it would
        // take the line out of the file again.
        if (!loaderWillShowIt) AddCallerLogRow(date, time, name != nullptr ? name : "", stripped);
    }
    if (page != nullptr) PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
}

void SaveCallerLog(HWND page) {
    char path[MAX_PATH];
    GetCallerLogPath(path);
    if (path[0] == '\0') return;
    if (s_fileState == DataFileState::Unreadable) {
        LogPrintf("Could not save log: %s could not be read at start and is left as it is", path);
        return;
    }
    if (!s_listHoldsFile) return;  // the file keeps the calls the list never got
    FileLock hold;
    int rows = static_cast<int>(SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_GETITEMCOUNT, 0, 0));
    if (rows < 1) {
        DeleteFileA(path);
        return;
    }
    char reason[256];
    HANDLE file = BeginRewrite(path);
    if (file == INVALID_HANDLE_VALUE) {
        LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
        return;
    }
    if (!WriteRows(page, file)) {
        LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
        AbandonRewrite(path, file);
        return;
    }
    if (!CommitRewrite(path, file)) LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
}
