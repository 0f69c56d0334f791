// The benchmarks' eyes inside the Wine prefix: watches the running program (or a baseline program)
// from another process and prints what it saw, one event per line, each stamped with the wall
// clock in seconds since 1970. GetSystemTimePreciseAsFileTime reads the same clock as Linux's
// CLOCK_REALTIME, so the stamps compare with the simulated modem's record (--wall-clock) and with
// the benchmark driver's own time; the "clock" verb lets the driver check that they agree.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "base/product.h"

namespace {

const char kUsage[] =
    "usage: perf_watch VERB [ARGS]\n"
    "  clock                          the wall clock, ten times 50 ms apart\n"
    "  calls LOGFILE COUNT SECONDS    'popup T TEXT' for every new popup window and 'log T LINE'\n"
    "                                 for every line appended to LOGFILE, until COUNT of each or\n"
    "                                 SECONDS passed\n"
    "  load COLUMNS COUNT SECONDS [TITLE]\n"
    "                                 waits for the main window (the running copy's, or the\n"
    "                                 top-level window TITLE) and its list view of COLUMNS\n"
    "                                 columns, then polls the list until it holds COUNT rows and\n"
    "                                 meanwhile times message round trips to the main window:\n"
    "                                 'found T', 'first T', 'last T', 'trip START MS' for each\n"
    "                                 round trip over 20 ms, 'roundtrip MAXMS COUNT'\n"
    "  tray SECONDS                   'tray T' when a tray icon exists\n";

double Now() {
    FILETIME time;
    GetSystemTimePreciseAsFileTime(&time);
    ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;  // 100 ns units since 1601
}

void Print(const char* event, double when, const char* text) {
    std::printf("%s %.6f%s%s\n", event, when, text[0] != '\0' ? " " : "", text);
    std::fflush(stdout);
}

// The popup's text as one line: each line break becomes "|".
std::string PopupText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    std::string flat;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\r' && c[1] == '\n') continue;
        flat += (*c == '\r' || *c == '\n') ? '|' : *c;
    }
    return flat;
}

// The bytes appended to a file since the last look, cut into whole lines.
struct FileTail {
    std::string path;
    LONGLONG read = 0;
    std::string partial;
};

int TakeNewLines(FileTail* tail, double when) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(tail->path.c_str(), GetFileExInfoStandard, &data)) return 0;
    if (((static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) <= tail->read) return 0;
    HANDLE file = CreateFileA(tail->path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    int lines = 0;
    if (size.QuadPart > tail->read) {
        LARGE_INTEGER at{};
        at.QuadPart = tail->read;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            tail->read += got;
            tail->partial.append(buffer, got);
        }
        size_t end;
        while ((end = tail->partial.find('\n')) != std::string::npos) {
            std::string line = tail->partial.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            tail->partial.erase(0, end + 1);
            Print("log", when, line.c_str());
            ++lines;
        }
    }
    CloseHandle(file);
    return lines;
}

int WatchCalls(const char* logPath, int count, double seconds) {
    std::set<HWND> seen;
    FileTail tail;
    tail.path = logPath;
    // Lines already in the file belong to earlier calls.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(logPath, GetFileExInfoStandard, &data)) {
        tail.read = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    int popups = 0;
    int lines = 0;
    double end = Now() + seconds;
    while ((popups < count || lines < count) && Now() < end) {
        double when = Now();
        for (HWND window = FindWindowExA(nullptr, nullptr, kPopupClassName, nullptr); window != nullptr;
             window = FindWindowExA(nullptr, window, kPopupClassName, nullptr)) {
            if (!seen.insert(window).second) continue;
            Print("popup", when, PopupText(window).c_str());
            ++popups;
        }
        lines += TakeNewLines(&tail, when);
        Sleep(2);
    }
    return popups >= count && lines >= count ? 0 : 1;
}

HWND RunningMainWindow() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex\\Tellwire v1.2", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    DWORD stored = 0;
    DWORD size = sizeof stored;
    LONG read = RegQueryValueExA(key, "hWnd", nullptr, nullptr, reinterpret_cast<BYTE*>(&stored), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || stored == 0) return nullptr;
    HWND main = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(stored)));
    return IsWindow(main) ? main : nullptr;
}

struct ListSearch {
    int columns;
    HWND found;
};

BOOL CALLBACK MatchList(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ListSearch*>(parameter);
    char className[64];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, WC_LISTVIEWA) != 0) return TRUE;
    HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
    if (header == nullptr || SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) != search->columns) return TRUE;
    search->found = window;
    return FALSE;
}

// The main window and its list of that many columns, as soon as both exist.
bool FindList(int columns, const char* title, double end, HWND* main, HWND* list) {
    while (Now() < end) {
        *main = title != nullptr ? FindWindowA(nullptr, title) : RunningMainWindow();
        if (*main != nullptr) {
            ListSearch search{columns, nullptr};
            EnumChildWindows(*main, MatchList, reinterpret_cast<LPARAM>(&search));
            *list = search.found;
            if (*list != nullptr) return true;
        }
        Sleep(2);
    }
    return false;
}

int WatchLoad(int columns, int count, double seconds, const char* title) {
    double end = Now() + seconds;
    HWND main = nullptr;
    HWND list = nullptr;
    if (!FindList(columns, title, end, &main, &list)) return 1;
    Print("found", Now(), "");
    double worst = 0;
    long trips = 0;
    bool first = false;
    int rows = 0;
    while (rows < count && Now() < end) {
        double sent = Now();
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer)) {
            std::fprintf(stderr, "perf_watch: the window does not answer\n");
            return 1;
        }
        double trip = Now() - sent;
        if (trip > worst) worst = trip;
        if (trip > 0.020) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", trip * 1000);
            Print("trip", sent, text);
        }
        ++trips;
        DWORD_PTR items = 0;
        if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &items)) return 1;
        rows = static_cast<int>(items);
        double seen = Now();
        if (rows > 0 && !first) {
            first = true;
            Print("first", seen, "");
        }
        if (rows >= count) Print("last", seen, "");
        Sleep(5);  // the program answers every poll, which costs it time too
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %ld", worst * 1000, trips);
    Print("roundtrip", Now(), text);
    return rows >= count ? 0 : 1;
}

HWND FindTrayIcon() {
    for (HWND tray = FindWindowExA(nullptr, nullptr, "__winex11_standalone_tray", nullptr); tray != nullptr;
         tray = FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr)) {
        HWND icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr);
        if (icon != nullptr) return icon;
    }
    return FindWindowExA(nullptr, nullptr, "__winex11_tray_icon", nullptr);
}

int WatchTray(double seconds) {
    double end = Now() + seconds;
    while (Now() < end) {
        double when = Now();
        if (FindTrayIcon() != nullptr) {
            Print("tray", when, "");
            return 0;
        }
        Sleep(2);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "clock") {
        for (int i = 0; i < 10; ++i) {
            Print("clock", Now(), "");
            Sleep(50);
        }
        return 0;
    }
    if (verb == "calls" && argc == 5) return WatchCalls(argv[2], std::atoi(argv[3]), std::atof(argv[4]));
    if (verb == "load" && (argc == 5 || argc == 6)) {
        return WatchLoad(std::atoi(argv[2]), std::atoi(argv[3]), std::atof(argv[4]), argc == 6 ? argv[5] : nullptr);
    }
    if (verb == "tray" && argc == 3) return WatchTray(std::atof(argv[2]));
    std::fputs(kUsage, stderr);
    return 2;
}
