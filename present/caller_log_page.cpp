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

// The loader hands the page whole batches of rows: one message per row (five with the cells)
// would keep a log of a hundred thousand calls loading for minutes. The batches are posted, a
// few ahead, so the page's thread goes from one to the next without waiting for the loader to be
// scheduled in between; a batch is small enough for that thread to stay answering between them.
// The loader ends only once the page has taken every batch, so while it runs the list is never
// taken for the whole file.
constexpr UINT MSG_CALLER_LOG_ADD_ROWS = WM_APP + 1;  // lParam: RowBatch, freed by the page
constexpr int kRowsPerBatch = 128;
constexpr LONG kBatchesAhead = 4;
constexpr DWORD kBatchWaitStepMs = 50;

// Rows as the list shows them: the number already formatted (on the loader's thread).
struct RowBatch {
    HANDLE places;  // the loader's semaphore of batches ahead: released when the page is done
    int count;
    bool last;  // the load's end: the list may draw again
    CallerLogRecord rows[kRowsPerBatch];
};

// The list lays itself out again after every change while it may draw, and once more, over all
// its rows, whenever it is let draw again: a load holds it for thousands of rows at a time, and
// lets it draw now and then so that a page looked at meanwhile fills.
constexpr int kRowsPerDrawing = 4096;
struct ListDrawing {
    bool held;
    int rowsHeld;
};
ListDrawing s_drawing;  // the user-interface thread's alone

// A rewrite gathers its lines into blocks of this size and writes a block at a time.
constexpr size_t kWriteBlockSize = 64 * 1024;

std::atomic<HWND> s_page{nullptr};  // set once by the UI thread; every thread reaches the list by it
// What the loader found: written by the loader thread, read before every full save.
std::atomic<DataFileState> s_fileState{DataFileState::Missing};
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
// Set when the page is being destroyed: it takes no more batches, and the loader gives up.
std::atomic<bool> s_pageClosing{false};
// Set by the loader when it did not put the whole file into the list (the program stopped, the
// page went): such a list must never replace the file.
std::atomic<bool> s_loadCut{false};

// Waits for one of the places ahead; false when the page is going (its batches are never taken).
bool TakePlace(HANDLE places, HWND page) {
    for (;;) {
        DWORD waited = WaitForSingleObject(places, kBatchWaitStepMs);
        if (waited == WAIT_OBJECT_0) return true;
        if (waited != WAIT_TIMEOUT || s_pageClosing || !IsWindow(page)) return false;
    }
}

bool LoadRowByRow(CallerLogCursor* cursor) {
    CallerLogRecord record;
    bool row = false;
    while (g_state.stop == 0 && NextCallerLogRecord(cursor, &record, &row)) {
        if (row) AddCallerLogRow(record.date, record.time, record.name, record.number);
    }
    return g_state.stop == 0;
}

// Fills a batch from the cursor; marks it the last at the end of the text or when stopping.
void FillBatch(CallerLogCursor* cursor, RowBatch* batch) {
    batch->count = 0;
    batch->last = false;
    bool row = false;
    while (batch->count < kRowsPerBatch) {
        if (g_state.stop != 0) {
            batch->count = 0;  // what is left is not shown: the program ends
            batch->last = true;
            return;
        }
        if (!NextCallerLogRecord(cursor, &batch->rows[batch->count], &row)) {
            batch->last = true;
            return;
        }
        if (!row) continue;
        CallerLogRecord& record = batch->rows[batch->count++];
        FormatPhoneNumber(record.number, sizeof record.number);
    }
}

// True when every row of the text went into the list.
bool LoadRows(HWND page, const char* text, DWORD size) {
    CallerLogCursor cursor{text, size, 0};
    HANDLE places = CreateSemaphoreA(nullptr, kBatchesAhead, kBatchesAhead, nullptr);
    if (places == nullptr) return LoadRowByRow(&cursor);  // slowly, but every row
    bool going = true;
    bool whole = true;
    // Also when stopping a last batch goes: a program told to stop by another broadcaster runs
    // on, and its list must draw again.
    for (bool last = false; going && !last;) {
        going = TakePlace(places, page);
        if (!going) break;
        auto* batch = static_cast<RowBatch*>(LocalAlloc(LMEM_FIXED, sizeof(RowBatch)));
        if (batch == nullptr) {  // out of memory: the list keeps what it has, and never replaces the file
            ReleaseSemaphore(places, 1, nullptr);
            whole = false;
            break;
        }
        batch->places = places;
        FillBatch(&cursor, batch);
        last = batch->last;
        whole = g_state.stop == 0;
        if (!PostMessageA(page, MSG_CALLER_LOG_ADD_ROWS, 0, reinterpret_cast<LPARAM>(batch))) {
            LocalFree(batch);
            going = false;
        }
    }
    // Every batch in the list before the loader ends.
    for (LONG i = 0; going && i < kBatchesAhead; ++i) going = TakePlace(places, page);
    // A page that went without taking its batches leaves the semaphore to them, unused.
    if (going) CloseHandle(places);
    return whole && going;
}

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
        return 1;
    }
    if (!LoadRows(page, text, size)) s_loadCut = true;
    LocalFree(text);
    s_fileState = DataFileState::Loaded;
    PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}

void HoldListDrawing(HWND page) {
    if (s_drawing.held) return;
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, WM_SETREDRAW, FALSE, 0);
    s_drawing = ListDrawing{true, 0};
}

void ReleaseListDrawing(HWND page) {
    if (!s_drawing.held) return;
    s_drawing = ListDrawing{false, 0};
    HWND list = GetDlgItem(page, IDC_CALLER_LOG_LIST);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void OnLoadedRows(HWND page, RowBatch* batch) {
    HWND list = GetDlgItem(page, IDC_CALLER_LOG_LIST);
    HoldListDrawing(page);
    for (int i = 0; i < batch->count; ++i) {
        const CallerLogRecord& row = batch->rows[i];
        const char* const cells[] = {row.date, row.time, row.name, row.number};
        AppendListRow(list, 0, cells, 4);
    }
    s_drawing.rowsHeld += batch->count;
    if (batch->last || s_drawing.rowsHeld >= kRowsPerDrawing) ReleaseListDrawing(page);
    HANDLE places = batch->places;
    LocalFree(batch);
    ReleaseSemaphore(places, 1, nullptr);
}

bool IsMarkedChanged(HWND page) { return GetPropA(page, kChangedProperty) != nullptr; }
void MarkChanged(HWND page) { SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(7)); }

// The file gets every call appended as it comes, so it holds what the list holds until rows are
// deleted (or a line could not be appended): only then does the list replace it. A save that
// fails keeps the mark, and the next one tries again.
void SaveIfChanged(HWND page) {
    if (!IsMarkedChanged(page) || PageLoaderRunning(page)) return;
    if (SaveCallerLog(page)) RemovePropA(page, kChangedProperty);
}

void OnInitDialog(HWND page) {
    {
        std::lock_guard<std::mutex> hold(s_fileLock);
        s_loaderHasRead = false;
    }
    s_page = page;
    s_pageClosing = false;
    s_loadCut = false;
    s_drawing = ListDrawing{false, 0};
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
    case CMD_REFRESH:
        ReleaseListDrawing(page);  // also after a load that ended early
        ShowLastRow(page);
        break;
    case CMD_PAGE_SAVE: SaveIfChanged(page); break;
    default: break;
    }
}

void OnNotify(HWND page, const NMHDR* header) {
    if (header->idFrom != IDC_CALLER_LOG_LIST || header->code != LVN_KEYDOWN) return;
    if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey != VK_DELETE) return;
    bool loading = s_drawing.held;
    HoldListDrawing(page);
    DeleteSelectedRows(page, IDC_CALLER_LOG_LIST);
    if (!loading) ReleaseListDrawing(page);
    MarkChanged(page);
}

void OnSize(HWND page, int width, int height) {
    MoveWindow(GetDlgItem(page, IDC_CALLER_LOG_LIST), 2, 0, width - 4, height - 2, TRUE);
}

void OnDestroy(HWND page) {
    s_pageClosing = true;  // batches still queued are never taken: the loader must not wait for them
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
    case MSG_CALLER_LOG_ADD_ROWS: OnLoadedRows(page, reinterpret_cast<RowBatch*>(lParam)); return TRUE;
    case WM_SIZE: OnSize(page, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

bool WriteAll(HANDLE file, const char* data, size_t length) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

bool WriteRows(HWND page, HANDLE file) {
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, kWriteBlockSize));
    if (block == nullptr) return false;
    size_t used = 0;
    bool written = true;
    HWND list = GetDlgItem(page, IDC_CALLER_LOG_LIST);
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows && written; ++row) {
        char date[kLogFieldSize];
        char time[kLogFieldSize];
        char name[256];
        char number[kLogFieldSize];
        ReadListCell(list, row, 0, date, sizeof date);
        ReadListCell(list, row, 1, time, sizeof time);
        ReadListCell(list, row, 2, name, sizeof name);
        ReadListCell(list, row, 3, number, sizeof number);
        if (used + kLogLineSize > kWriteBlockSize) {
            written = WriteAll(file, block, used);
            used = 0;
        }
        if (MakeSavedCallerLogLine(date, time, number, name, block + used, kLogLineSize)) {
            used += static_cast<size_t>(lstrlenA(block + used));
        }
    }
    if (written && used > 0) written = WriteAll(file, block, used);
    LocalFree(block);
    return written;
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
    if (page != nullptr) SaveIfChanged(page);  // the file matches the list again before the new line goes on it
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
    bool appended = false;
    {
        FileLock hold;
        if (path[0] != '\0') appended = AppendTextToFile(path, line);
        bool loaderWillShowIt = page != nullptr && !s_loaderHasRead && appended;
        // The row goes in before any rewrite can start: one that read the list without it would
        // take the line out of the file again.
        if (!loaderWillShowIt) AddCallerLogRow(date, time, name != nullptr ? name : "", stripped);
    }
    // A row the file lacks: the next save puts the list in its place.
    if (page != nullptr && path[0] != '\0' && !appended) MarkChanged(page);
    if (page != nullptr) PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
}

bool SaveCallerLog(HWND page) {
    char path[MAX_PATH];
    GetCallerLogPath(path);
    if (path[0] == '\0') return false;
    if (s_fileState == DataFileState::Unreadable) {
        LogPrintf("Could not save log: %s could not be read at start and is left as it is", path);
        return false;
    }
    if (s_loadCut) return false;  // the list holds only part of the file
    FileLock hold;
    int rows = static_cast<int>(SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_GETITEMCOUNT, 0, 0));
    if (rows < 1) {
        return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    char reason[256];
    HANDLE file = BeginRewrite(path);
    if (file == INVALID_HANDLE_VALUE) {
        LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
        return false;
    }
    if (!WriteRows(page, file)) {
        LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
        AbandonRewrite(path, file);
        return false;
    }
    if (!CommitRewrite(path, file)) {
        LogPrintf("Could not save log: %s", ErrorText(kLastError, reason, sizeof reason));
        return false;
    }
    return true;
}
