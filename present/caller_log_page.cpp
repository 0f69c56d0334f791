#include "present/caller_log_page.h"

#include <commctrl.h>
#include <windowsx.h>

#include <new>
#include <vector>

#include "base/data_file_store.h"
#include "base/messages.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "base/win_state.h"
#include "present/block_list_lookup.h"
#include "present/block_list_page.h"
#include "present/caller_log_format.h"
#include "present/caller_log_ids.h"
#include "present/caller_log_model.h"
#include "present/phone_number_format.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"
#include "ui/dialog_page.h"

namespace {

constexpr size_t kRowsPerBatch = 4096;

enum Column { kDateColumn, kTimeColumn, kNameColumn, kNumberColumn, kBlockedColumn };
char s_blockedText[32];  // the Blocked column's text for a number the block list blocks

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

// The loader makes the rows as the model keeps them, so the page's thread only moves them in: a
// batch of thousands takes it well under a millisecond.
void* ReadBatch(const char* text, size_t size, size_t* at, bool* last) {
    auto* batch = new (std::nothrow) CallerLogModel{};
    if (batch == nullptr) return nullptr;
    batch->rows.reserve(kRowsPerBatch);
    CallerLogCursor cursor{text, size, *at};
    CallerLogRecord record;
    bool row = false;
    *last = false;
    while (batch->rows.size() < kRowsPerBatch && !*last) {
        *last = !NextCallerLogRecord(&cursor, &record, &row);
        if (!*last && row) AddCallerLogModelRow(batch, record.date, record.time, record.number, record.name);
    }
    *at = cursor.at;
    return batch;
}

void FreeBatch(void* batch) { delete static_cast<CallerLogModel*>(batch); }

// The view follows the model's row count; the rows it shows keep their place.
void ShowRowCount(HWND page) {
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_SETITEMCOUNT, s_model.rows.size(),
                        LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void TakeBatch(HWND page, void* batch) {
    AppendCallerLogModel(&s_model, static_cast<CallerLogModel*>(batch));
    FreeBatch(batch);
    ShowRowCount(page);
}

size_t RowCount() { return s_model.rows.size(); }

size_t CallLine(size_t row, char* out, size_t lineSize) {
    CallerLogCells cells = CallerLogModelRow(s_model, row);
    if (!MakeSavedCallerLogLine(cells.date, cells.time, cells.number, cells.name, out, lineSize)) return 0;
    return static_cast<size_t>(lstrlenA(out));
}

constexpr DataFileKind kCallerLogFile{
    "log", &kSettingCallerLogPath, "log", 1000, ReadBatch, TakeBatch, FreeBatch, RowCount, CallLine, kLogLineSize,
};
// Its file lock also keeps every append apart from every rewrite: a line appended to the old
// file while the model is being written to the new one would be gone with the old file. A call
// announced before the loader has read the file is in the file it reads, so it must not be added
// to the model a second time.
DataFileStore s_store{&kCallerLogFile};

void OnAddRow(HWND page, const NewRow* row) {
    AddCallerLogModelRow(&s_model, row->date, row->time, row->number, row->name);
    ShowRowCount(page);
}

void OnInitDialog(HWND page) {
    s_model = CallerLogModel{};
    SendDlgItemMessageA(page, IDC_CALLER_LOG_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_CALLER_LOG_LIST, kDateColumn, 15, IDS_COLUMN_DATE);
    AddListColumn(page, IDC_CALLER_LOG_LIST, kTimeColumn, 15, IDS_COLUMN_TIME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, kNameColumn, 35, IDS_COLUMN_NAME);
    AddListColumn(page, IDC_CALLER_LOG_LIST, kNumberColumn, 23, IDS_COLUMN_NUMBER);
    AddListColumn(page, IDC_CALLER_LOG_LIST, kBlockedColumn, 12, IDS_COLUMN_BLOCKED);
    LoadStringA(g_win.instance, IDS_BLOCKED_YES, s_blockedText, sizeof s_blockedText);
    OpenDataFileStore(&s_store, page);
}

void ShowLastRow(HWND page) {
    if (!s_model.rows.empty()) SelectListRow(page, IDC_CALLER_LOG_LIST, static_cast<int>(s_model.rows.size()) - 1);
}

HWND List(HWND page) { return GetDlgItem(page, IDC_CALLER_LOG_LIST); }

// "Block this number": the selected call's number goes on the block list, its name as the note.
void BlockSelectedNumber(HWND page) {
    int row = GetNextSelectedRow(page, IDC_CALLER_LOG_LIST, -1);
    if (row < 0) return;
    CallerLogCells cells = CallerLogModelRow(s_model, static_cast<size_t>(row));
    // The cells live in the model, which the block list never touches: they stay valid.
    if (BlockNumber(cells.number, cells.name)) InvalidateRect(List(page), nullptr, TRUE);
}

// Right button or the menu key on the list: the menu for the selected call, its item grayed when
// the list cannot block that number (blocked already, too short, no caller ID).
void OnContextMenu(HWND page, HWND from, LPARAM at) {
    HWND list = List(page);
    if (from != list) return;
    int row = GetNextSelectedRow(page, IDC_CALLER_LOG_LIST, -1);
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {  // from the keyboard: beside the selected row, or the list's corner
        RECT rect{};
        if (row < 0 || !ListView_GetItemRect(list, row, &rect, LVIR_LABEL)) GetClientRect(list, &rect);
        point = {rect.left, rect.bottom};
        ClientToScreen(list, &point);
    }
    bool blockable = row >= 0 && CanBlockNumber(CallerLogModelRow(s_model, static_cast<size_t>(row)).number);
    char text[64];
    if (LoadStringA(g_win.instance, IDS_BLOCK_THIS_NUMBER, text, sizeof text) == 0) return;
    OwnedMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuA(menu.get(), MF_STRING | (blockable ? MF_ENABLED : MF_GRAYED), CMD_CALLER_LOG_BLOCK, text);
    // The chosen item comes back as a command posted to the page.
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, point.x, point.y, 0, page, nullptr);
}

void OnCommand(HWND page, int id, LPARAM lParam) {
    switch (id) {
    case CMD_REFRESH: ShowLastRow(page); break;
    case CMD_PAGE_SAVE: SaveDataFileIfChanged(&s_store, page); break;
    // The block list may have changed on its own page meanwhile.
    case CMD_PAGE_ACTIVATE:
        if (lParam != 0) InvalidateRect(List(page), nullptr, TRUE);
        break;
    case CMD_CALLER_LOG_BLOCK: BlockSelectedNumber(page); break;
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
    case kDateColumn: text = cells.date; break;
    case kTimeColumn: text = cells.time; break;
    case kNameColumn: text = cells.name; break;
    case kNumberColumn:
        CopyText(shown, sizeof shown, cells.number);
        FormatPhoneNumber(shown, sizeof shown);
        text = shown;
        break;
    // What the block list says now, not what it said then: the file keeps no mark of its own.
    case kBlockedColumn:
        if (IsNumberBlocked(cells.number)) text = s_blockedText;
        break;
    default: break;
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

// Delete takes the selected rows out of the model; only a Delete that took one marks the page.
void DeleteSelected(HWND page) {
    HWND list = List(page);
    if (DeleteCallerLogModelRows(&s_model, SelectedListRows(list)) == 0) return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkDataFileChanged(page);
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
    CloseDataFileStore(&s_store, page);
    s_model = CallerLogModel{};
}

INT_PTR CALLBACK CallerLogPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), lParam); return TRUE;
    case WM_CONTEXTMENU: OnContextMenu(page, reinterpret_cast<HWND>(wParam), lParam); return TRUE;
    case WM_NOTIFY: return AnswerMessage(page, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
    case MSG_DATA_FILE_ROWS: TakeDataFileBatch(&s_store, page, lParam); return TRUE;
    case MSG_CALLER_LOG_ADD_ROW: OnAddRow(page, reinterpret_cast<const NewRow*>(lParam)); return TRUE;
    case WM_SIZE: OnSize(page, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

// One row, the number shown formatted; from any thread.
void AddCallerLogRow(const char* date, const char* time, const char* name, const char* number) {
    HWND page = s_store.page;
    if (page == nullptr) return;
    NewRow row{date, time, name, number};
    SendMessageA(page, MSG_CALLER_LOG_ADD_ROW, 0, reinterpret_cast<LPARAM>(&row));
}

}  // namespace

HWND CreateCallerLogPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_CALLER_LOG_PAGE, CallerLogPageProc);
}

void GetCallerLogPath(char* buffer) { GetDataFileStorePath(s_store, buffer); }

void AddCallerLogEntry(const char* name, const char* number) {
    HWND page = s_store.page;
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
        DataFileLock hold(&s_store);
        if (path[0] != '\0') appended = AppendTextToFile(path, line);
        // A file that was missing is now the program's own: it holds what the list holds.
        DataFileState missing = DataFileState::Missing;
        if (appended) s_store.state.compare_exchange_strong(missing, DataFileState::Loaded);
        bool loaderWillShowIt = page != nullptr && !s_store.loaderHasRead && appended;
        // The row goes in before any rewrite can start: one that read the list without it would
        // take the line out of the file again.
        if (!loaderWillShowIt) AddCallerLogRow(date, time, name != nullptr ? name : "", stripped);
    }
    // A row the file lacks: the next save puts the list in its place.
    if (page != nullptr && path[0] != '\0' && !appended) MarkDataFileChanged(page);
    if (page != nullptr) PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
}
