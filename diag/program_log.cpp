#include "diag/program_log.h"

#include <atomic>
#include <cstdarg>

#include "base/process_state.h"
#include "base/win_clock.h"
#include "diag/log_line.h"

namespace {

std::atomic<HWND> s_logList{nullptr};     // written once by the UI thread, read by every thread
std::atomic<uint32_t> s_lastLineTime{0};  // tick count after the last line; 0 before the first

HFONT MakeLogFont() {
    LOGFONTA font;
    HGDIOBJ stock = GetStockObject(ANSI_FIXED_FONT);
    if (GetObjectA(stock, sizeof font, &font) != sizeof font) return static_cast<HFONT>(stock);
    font.lfHeight = -11;
    font.lfWidth = -8;
    HFONT made = CreateFontIndirectA(&font);
    return made != nullptr ? made : static_cast<HFONT>(stock);
}

}  // namespace

HWND CreateProgramLogPage(HWND mainWindow) {
    HWND list = CreateWindowExA(WS_EX_STATICEDGE, "LISTBOX", "",
                                WS_CHILD | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL, 0, 0, 0, 0,
                                mainWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (list != nullptr) {
        // Kept for the life of the process: the list lives as long as the main window.
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(MakeLogFont()), TRUE);
    }
    s_logList = list;
    return list;
}

void AddLogLine(const char* text) {
    HWND list = s_logList;
    if (list == nullptr || g_state.stop != 0 || text == nullptr) return;
    if (s_lastLineTime == 0) s_lastLineTime = GetTickCount();
    size_t size = lstrlenA(text) + 128;
    char* line = static_cast<char*>(LocalAlloc(LPTR, size));
    if (line != nullptr) {
        size_t prefix = FormatLogPrefix(line, kLogPrefixSize, TicksSince(s_lastLineTime));
        CopyText(line + prefix, size - prefix, text);
        for (int drop = LogLinesToDrop(static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0))); drop > 0; --drop) {
            SendMessageA(list, LB_DELETESTRING, 0, 0);
        }
        // The list is not sorted: the line goes to the end, also when another thread added one meanwhile.
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        SendMessageA(list, LB_SETCURSEL, at, 0);  // scrolls the newest line into view
        LocalFree(line);
    }
    s_lastLineTime = GetTickCount();
}

void LogPrintf(const char* format, ...) {
    char line[1028];
    va_list args;
    va_start(args, format);
    wvsprintfA(line, format, args);
    va_end(args);
    TrimLogText(line);
    AddLogLine(line);
}
