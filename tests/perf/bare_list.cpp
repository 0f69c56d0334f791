// The baseline of the load benchmarks: a bare list view program that reads the same file in one
// block, a second after it starts (as the program's loaders do), and puts every row into its list
// on the list's own thread in one run, with redrawing held. No cross-thread messages, no number
// formatting, no responsiveness while it works: the least a list view can cost for these rows.
//
//   bare_list log|book FILE     prints "loaded N" once the rows are in, and ends 5 s later (its
//                               window: title "bare list")
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "present/caller_log_format.h"
#include "present/phone_book_format.h"

namespace {

constexpr UINT_PTR kLoadTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

bool s_book = false;
const char* s_path = nullptr;
HWND s_list = nullptr;

char* ReadFileBlock(const char* path, DWORD* size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    *size = GetFileSize(file, nullptr);
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, *size + 4));
    DWORD got = 0;
    if (block != nullptr && ReadFile(file, block, *size, &got, nullptr)) {
        block[got] = '\0';
    }
    CloseHandle(file);
    return block;
}

void AddRow(int row, const char* const* cells, int count) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(cells[0]);
    int at = static_cast<int>(SendMessageA(s_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < count; ++column) {
        LVITEMA cell = {};
        cell.iItem = at;
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(cells[column]);
        SendMessageA(s_list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&cell));
    }
}

int LoadLog(const char* text, DWORD size) {
    CallerLogCursor cursor{text, size, 0};
    CallerLogRecord record;
    bool row = false;
    int rows = 0;
    while (NextCallerLogRecord(&cursor, &record, &row)) {
        if (!row) continue;
        const char* cells[] = {record.date, record.time, record.name, record.number};
        AddRow(rows++, cells, 4);
    }
    return rows;
}

int LoadBook(const char* text, DWORD size) {
    BookCursor cursor{text, size, 0};
    static BookLine line;
    int rows = 0;
    while (NextBookLine(&cursor, &line)) {
        if (!line.hasColon) continue;
        const char* cells[] = {line.text + line.nameAt, line.text};
        AddRow(rows++, cells, 2);
    }
    return rows;
}

void Load() {
    DWORD size = 0;
    char* text = ReadFileBlock(s_path, &size);
    int rows = 0;
    if (text != nullptr) {
        SendMessageA(s_list, WM_SETREDRAW, FALSE, 0);
        rows = s_book ? LoadBook(text, size) : LoadLog(text, size);
        SendMessageA(s_list, WM_SETREDRAW, TRUE, 0);
        LocalFree(text);
    }
    std::printf("loaded %d\n", rows);
    std::fflush(stdout);
}


LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        KillTimer(window, wParam);
        if (wParam == kLoadTimer) {
            Load();
            SetTimer(window, kEndTimer, 5000, nullptr);
        }
        if (wParam == kEndTimer) DestroyWindow(window);
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "log") != 0 && std::strcmp(argv[1], "book") != 0)) {
        std::fputs("usage: bare_list log|book FILE\n", stderr);
        return 2;
    }
    s_book = std::strcmp(argv[1], "book") == 0;
    s_path = argv[2];
    InitCommonControls();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BareListMain";
    RegisterClassA(&windowClass);
    // Hidden, like the program's main window and pages.
    HWND main = CreateWindowExA(0, "BareListMain", "bare list", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    s_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 680,
                             380, main, nullptr, windowClass.hInstance, nullptr);
    if (main == nullptr || s_list == nullptr) return 1;
    SendMessageA(s_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    static const char* const kLogColumns[] = {"Date", "Time", "Name", "Phone Number"};
    static const char* const kBookColumns[] = {"Contact Name", "Phone Number(s)"};
    int columns = s_book ? 2 : 4;
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = 150;
        column.pszText = const_cast<char*>(s_book ? kBookColumns[i] : kLogColumns[i]);
        SendMessageA(s_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SetTimer(main, kLoadTimer, 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
