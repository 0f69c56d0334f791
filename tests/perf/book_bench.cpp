// The phone book lookup at scale: the real Phone Book page (dialog, list, loader) under a hidden
// stand-in for the main window, its file given in the "pbook" setting. Once the list holds the
// book, another thread (as a port monitor or the network agent does) times LookupPhoneBook of a
// number that only the last contact has; the baseline is a plain loop over the same rows, reading
// each one's numbers from the list on the page's own thread, as the lookup must.
//
//   book_bench FILE ROWS NUMBER NAME REPEATS
// prints "lookup MEDIAN_MS MAX_MS" and "baseline MEDIAN_MS MAX_MS"; exit 1 when a lookup gives a
// name other than NAME or the book does not load.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "present/phone_book_page.h"
#include "tests/perf/bench_clock.h"

namespace {

struct LookupRun {
    const char* number;
    const char* name;
    int repeats;
    std::vector<double> times;
    bool right = true;
};

DWORD WINAPI LookupThread(void* parameter) {
    auto* run = static_cast<LookupRun*>(parameter);
    for (int i = 0; i < run->repeats; ++i) {
        char found[512] = "";
        double start = Milliseconds();
        bool hit = LookupPhoneBook(run->number, found, sizeof found);
        run->times.push_back(Milliseconds() - start);
        run->right = run->right && hit && std::strcmp(found, run->name) == 0;
    }
    return 0;
}

// The same search as a plain loop on the page's thread: no message crosses a thread, and each
// row's numbers are read straight from the list control.
bool PlainLoop(HWND page, const char* number, char* name, size_t size) {
    HWND list = GetDlgItem(page, IDC_PHONE_BOOK_LIST);
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    char numbers[kNumbersCellSize];
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.iSubItem = 1;
        item.pszText = numbers;
        item.cchTextMax = sizeof numbers;
        numbers[0] = '\0';
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        if (NumberInList(number, numbers)) {
            item.iSubItem = 0;
            item.pszText = name;
            item.cchTextMax = static_cast<int>(size);
            return SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) >= 0;
        }
    }
    return false;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s %.4f %.4f\n", what, times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: book_bench FILE ROWS NUMBER NAME REPEATS\n", stderr);
        return 2;
    }
    const char* path = argv[1];
    int rows = std::atoi(argv[2]);
    LookupRun run{argv[3], argv[4], std::max(1, std::atoi(argv[5])), {}};
    InitCommonControls();
    SetProcessDefaults(&g_state);
    g_win.instance = GetModuleHandleA(nullptr);
    WriteSetting("pbook", path, lstrlenA(path) + 1, REG_SZ);
    HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    g_win.mainWindow = main;
    CreateProgramLogPage(main);
    HWND page = CreatePhoneBookPage(main);
    if (page == nullptr) return 1;
    double deadline = Milliseconds() + 120000;
    while (SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_GETITEMCOUNT, 0, 0) < rows) {
        if (Milliseconds() > deadline) {
            std::fputs("book_bench: the book did not load\n", stderr);
            return 1;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }

    HANDLE thread = CreateThread(nullptr, 0, LookupThread, &run, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
    CloseHandle(thread);

    std::vector<double> plain;
    bool plainRight = true;
    for (int i = 0; i < run.repeats; ++i) {
        char found[512] = "";
        double start = Milliseconds();
        bool hit = PlainLoop(page, run.number, found, sizeof found);
        plain.push_back(Milliseconds() - start);
        plainRight = plainRight && hit && std::strcmp(found, run.name) == 0;
    }
    Report("lookup", run.times);
    Report("baseline", plain);
    std::fflush(stdout);
    g_state.stop = 1;
    DestroyWindow(page);
    DestroyWindow(main);
    return run.right && plainRight ? 0 : 1;
}
