#include "present/caller_log_page.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "base/data_files.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/read_whole_file.h"
#include "base/text_utils.h"
#include "base/page_loader.h"
#include "base/thread_wait.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/caller_log_format.h"
#include "present/caller_log_ids.h"
#include "present/caller_log_model.h"
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
// scheduled in between. The loader makes the rows as the model keeps them, so the page only moves
// them in: a batch of thousands takes that thread well under a millisecond, and every batch costs
// a round trip through the window system. The loader ends only once the page has taken every
// batch, so while it runs the list is never taken for the whole file.
constexpr UINT MSG_CALLER_LOG_ADD_ROWS = WM_APP + 1;  // lParam: RowBatch, deleted by the page
constexpr size_t kRowsPerBatch = 4096;
constexpr LONG kBatchesAhead = 4;
constexpr DWORD kBatchWaitStepMs = 50;

// Rows as the model keeps them, read from the file.
struct RowBatch {
    HANDLE places;  // the loader's semaphore of batches ahead: released when the page is done
    bool last;      // the load's end
    CallerLogModel rows;
};

// One row added from another thread (MSG_CALLER_LOG_ADD_ROW, sent): lParam points at it.
constexpr UINT MSG_CALLER_LOG_ADD_ROW = WM_APP + 2;
struct NewRow {
    const char* date;
    const char* time;
    const char* name;
    const char* number;
};

// The calls the page shows, the number as received; the user-interface thread's alone. The list
// is an owner-data view: it holds selection and focus, and asks for each cell it draws.
CallerLogModel s_model;

std::atomic<HWND> s_page{nullptr};  // set once by the UI thread; every thread reaches the list by it
// What the loader found, and Loaded once the program wrote the file: written by the loader
// thread and the threads that append, read before every full save.
std::atomic<DataFileState> s_fileState{DataFileState::Missing};
// Set by the loader once the whole file (or its absence) is in the model: only then may the model
// replace the file. A loader that was cut short, gave up before reading or never started leaves
// it clear.
std::atomic<bool> s_loadWhole{false};
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
    batch->last = false;
    batch->rows.rows.reserve(kRowsPerBatch);
    CallerLogRecord record;
    bool row = false;
    while (batch->rows.rows.size() < kRowsPerBatch) {
        if (g_state.stop != 0) {
            batch->rows.rows.clear();  // what is left is not shown: the program ends
            batch->last = true;
            return;
        }
        if (!NextCallerLogRecord(cursor, &record, &row)) {
            batch->last = true;
            return;
        }
        if (row) AddCallerLogModelRow(&batch->rows, record.date, record.time, record.number, record.name);
    }
}

// True when every row of the text went into the list.
bool LoadRows(HWND page, const char* text, DWORD size) {
    CallerLogCursor cursor{text, size, 0};
    OwnedHandle places(CreateSemaphoreA(nullptr, kBatchesAhead, kBatchesAhead, nullptr));
    if (!places) return LoadRowByRow(&cursor);  // slowly, but every row
    bool going = true;
    bool whole = true;
    // Also when stopping a last batch goes: a program told to stop by another broadcaster runs
    // on, and its list must draw again.
    for (bool last = false; going && !last;) {
        going = TakePlace(places.get(), page);
        if (!going) break;
        auto* batch = new (std::nothrow) RowBatch{};
        if (batch == nullptr) {  // out of memory: the list keeps what it has, and never replaces the file
            ReleaseSemaphore(places.get(), 1, nullptr);
            whole = false;
            break;
        }
        batch->places = places.get();
        FillBatch(&cursor, batch);
        last = batch->last;
        whole = g_state.stop == 0;
        if (!PostMessageA(page, MSG_CALLER_LOG_ADD_ROWS, 0, reinterpret_cast<LPARAM>(batch))) {
            delete batch;
            going = false;
        }
    }
    // Every batch in the list before the loader ends.
    for (LONG i = 0; going && i < kBatchesAhead; ++i) going = TakePlace(places.get(), page);
    // A page that went without taking its batches leaves the semaphore to them, unused.
    if (!going) places.release();
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
        s_loadWhole = s_fileState == DataFileState::Missing;
        return 1;
    }
    bool whole = LoadRows(page, text, size);
    LocalFree(text);
    s_fileState = DataFileState::Loaded;
    s_loadWhole = whole;
    PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}

// The view follows the model's row count; the rows it shows keep their place.
void ShowRowCount(HWND page) {
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_SETITEMCOUNT, s_model.rows.size(),
                        LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void OnLoadedRows(HWND page, RowBatch* batch) {
    AppendCallerLogModel(&s_model, &batch->rows);
    ShowRowCount(page);
    HANDLE places = batch->places;
    delete batch;
    ReleaseSemaphore(places, 1, nullptr);
}

void OnAddRow(HWND page, const NewRow* row) {
    AddCallerLogModelRow(&s_model, row->date, row->time, row->number, row->name);
    ShowRowCount(page);
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
    s_loadWhole = false;
    s_fileState = DataFileState::Missing;
    s_model = CallerLogModel{};
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 0, 15, IDS_COLUMN_DATE);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 1, 15, IDS_COLUMN_TIME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 2, 45, IDS_COLUMN_NAME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, 3, 25, IDS_COLUMN_NUMBER);
    OwnedHandle loader(CreateThread(nullptr, 0, CallerLogLoader, page, 0, nullptr));
    if (loader) {
        KeepPageLoader(page, std::move(loader));
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
    case CMD_PAGE_SAVE: SaveIfChanged(page); break;
    default: break;
    }
}

// The list asks for the texts of the cells it draws; the number is formatted for the screen only.
void OnGetDisplayInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0 || item.iItem < 0) return;
    CallerLogCells cells = CallerLogModelRow(s_model, static_cast<size_t>(item.iItem));
    const char* text = "";
    char shown[kLogFieldSize];
    switch (item.iSubItem) {
    case 0: text = cells.date; break;
    case 1: text = cells.time; break;
    case 2: text = cells.name; break;
    case 3:
        CopyText(shown, sizeof shown, cells.number);
        FormatPhoneNumber(shown, sizeof shown);
        text = shown;
        break;
    default: break;
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

// Delete takes the selected rows out of the model; only a Delete that took one marks the page.
void DeleteSelected(HWND page) {
    HWND list = GetDlgItem(page, IDC_CALLER_LOG_LIST);
    if (DeleteCallerLogModelRows(&s_model, SelectedListRows(list)) == 0) return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkChanged(page);
}

// Type-to-find by date, the first column.
LRESULT OnFindItem(const NMHDR* header) {
    return AnswerFindItem(header, [](size_t row) { return CallerLogModelRow(s_model, row).date; });
}

LRESULT OnNotify(HWND page, NMHDR* header) {
    if (header->idFrom != IDC_CALLER_LOG_LIST) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header)); break;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: return OnFindItem(header);
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) DeleteSelected(page);
        break;
    default: break;
    }
    return 0;
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
    s_model = CallerLogModel{};
}

INT_PTR CALLBACK CallerLogPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrA(page, DWLP_MSGRESULT, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
        return TRUE;
    case MSG_CALLER_LOG_ADD_ROWS: OnLoadedRows(page, reinterpret_cast<RowBatch*>(lParam)); return TRUE;
    case MSG_CALLER_LOG_ADD_ROW: OnAddRow(page, reinterpret_cast<const NewRow*>(lParam)); return TRUE;
    case WM_SIZE: OnSize(page, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

size_t CallLine(size_t row, char* out, size_t lineSize) {
    CallerLogCells cells = CallerLogModelRow(s_model, row);
    if (!MakeSavedCallerLogLine(cells.date, cells.time, cells.number, cells.name, out, lineSize)) return 0;
    return static_cast<size_t>(lstrlenA(out));
}

}  // namespace

HWND CreateCallerLogPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_CALLER_LOG_PAGE), mainWindow, CallerLogPageProc, 0);
}

void GetCallerLogPath(char* buffer) { GetDataFilePath(kSettingCallerLogPath, "log", buffer); }

void AddCallerLogRow(const char* date, const char* time, const char* name, const char* number) {
    HWND page = s_page;
    if (page == nullptr) return;
    NewRow row{date, time, name, number};
    SendMessageA(page, MSG_CALLER_LOG_ADD_ROW, 0, reinterpret_cast<LPARAM>(&row));
}

void AddCallerLogEntry(const char* name, const char* number) {
    HWND page = s_page;
    // The file matches the list again before the new line goes on it; the page's own thread
    // writes it, as the model is that thread's.
    if (page != nullptr) SendMessageA(page, WM_COMMAND, CMD_PAGE_SAVE, 0);
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
        // A file that was missing is now the program's own: it holds what the list holds.
        DataFileState missing = DataFileState::Missing;
        if (appended) s_fileState.compare_exchange_strong(missing, DataFileState::Loaded);
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
    if (page == nullptr || path[0] == '\0') return false;
    FileLock hold;
    DataFileState state = s_fileState;
    switch (ChooseDataFileSave(state, s_loadWhole, s_model.rows.size())) {
    case DataFileSave::Keep:
        if (state == DataFileState::Unreadable) {
            LogPrintf("Could not save log: %s could not be read at start and is left as it is", path);
        }
        return false;
    case DataFileSave::Delete: return DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
    case DataFileSave::Rewrite: break;
    }
    if (!RewriteDataFile(path, "log", s_model.rows.size(), kLogLineSize, CallLine)) return false;
    s_fileState = DataFileState::Loaded;
    return true;
}
