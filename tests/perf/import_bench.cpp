// Importing contacts at scale: the real Phone Book page (dialog, list, loader, import) under a
// hidden stand-in for the main window, an empty phone book. Each import runs as the Import button
// runs it once the file is chosen (ImportContactsFrom): from the call to the moment its message
// shows, when every row is in the list; meanwhile another thread keeps asking the page for an
// answer, as the system does when the user clicks, and the longest wait is kept. Each import is
// then taken back (Undo import). The message itself is the system's; its time is not counted. The baseline is the program's own format: the same contacts as
// a phone book file, read whole and split into contacts by the core's line reader.
//
//   import_bench CSV VCARD BOOK ROWS REPEATS
// prints "csv MEDIAN_MS MAX_MS", "vcard MEDIAN_MS MAX_MS", "answer MAX_MS", "busy MEDIAN_MS MAX_MS"
// (the page's thread's share of an import), "undo MEDIAN_MS MAX_MS" and "baseline MEDIAN_MS MAX_MS"; exit 1 when an import does not bring ROWS rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/process_state.h"
#include "base/read_whole_file.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/contact_transfer.h"
#include "present/contact_transfer_ids.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_model.h"
#include "present/phone_book_page.h"
#include "tests/perf/bench_clock.h"

namespace {

// The import's message box: the moment it is made is the end of the import; it is closed at once.
double s_told = 0;
HHOOK s_hook = nullptr;

LRESULT CALLBACK WatchMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        char name[16] = "";
        HWND box = reinterpret_cast<HWND>(wParam);
        if (GetClassNameA(box, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0) {
            if (s_told == 0) s_told = Milliseconds();
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(s_hook, code, wParam, lParam);
}

// The moment the page takes the reader's message: from here to the message box the page's thread
// is busy with the import (adding the contacts, showing them, making the box).
double s_taken = 0;
HHOOK s_messageHook = nullptr;

LRESULT CALLBACK WatchTaken(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == MSG_CONTACTS_READ && s_taken == 0) s_taken = Milliseconds();
    return CallNextHookEx(s_messageHook, code, wParam, lParam);
}

// Asks the page for an answer again and again; each ask's start and wait, read once it has ended.
struct Prober {
    HWND page;
    std::atomic<bool> running{true};
    std::vector<std::pair<double, double>> asks;  // the prober thread's until it ends
};

DWORD WINAPI Probe(void* parameter) {
    auto* prober = static_cast<Prober*>(parameter);
    while (prober->running) {
        double start = Milliseconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(prober->page, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        prober->asks.emplace_back(start, Milliseconds() - start);
        Sleep(1);
    }
    return 0;
}

int Rows(HWND page) { return static_cast<int>(SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_GETITEMCOUNT, 0, 0)); }

bool WaitFor(bool (*done)(HWND), HWND page) {
    double deadline = Milliseconds() + 120000;
    while (!done(page)) {
        if (Milliseconds() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        Pump();
    }
    return true;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s %.1f %.1f\n", what, times[times.size() / 2], times.back());
}

// The same contacts in the program's own file, read the way the loader reads it.
size_t ReadBook(const char* path) {
    DWORD size = 0;
    char* text = ReadWholeFile(path, &size);
    if (text == nullptr) return 0;
    PhoneBookModel model;
    BookCursor cursor{text, size, 0};
    BookLine line;
    while (NextBookLine(&cursor, &line)) {
        if (line.hasColon) AddPhoneBookContact(&model, line.text + line.nameAt, line.text);
    }
    LocalFree(text);
    return model.contacts.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: import_bench CSV VCARD BOOK ROWS REPEATS\n", stderr);
        return 2;
    }
    const char* files[] = {argv[1], argv[2]};
    const char* book = argv[3];
    int rows = std::atoi(argv[4]);
    int repeats = std::max(1, std::atoi(argv[5]));
    InitCommonControls();
    SetProcessDefaults(&g_state);
    g_win.instance = GetModuleHandleA(nullptr);
    const char kNoBook[] = "C:\\users\\Public\\import-bench-none.pbook";  // an empty phone book
    DeleteFileA(kNoBook);
    WriteSetting("pbook", kNoBook, sizeof kNoBook, REG_SZ);
    HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    g_win.mainWindow = main;
    CreateProgramLogPage(main);
    HWND page = CreatePhoneBookPage(main);
    if (page == nullptr || !WaitFor([](HWND) { return PhoneBookLoaded(); }, page)) return 1;
    s_hook = SetWindowsHookExA(WH_CBT, WatchMessageBox, nullptr, GetCurrentThreadId());
    s_messageHook = SetWindowsHookExA(WH_GETMESSAGE, WatchTaken, nullptr, GetCurrentThreadId());

    Prober prober;
    prober.page = page;
    HANDLE probing = CreateThread(nullptr, 0, Probe, &prober, 0, nullptr);
    std::vector<double> times[2], undo, baseline, busy;
    std::vector<std::pair<double, double>> imports;  // when each import ran, up to its message
    bool right = true;
    for (int i = 0; i < repeats; ++i) {
        for (int kind = 0; kind < 2; ++kind) {
            s_told = 0;
            s_taken = 0;
            double start = Milliseconds();
            ImportContactsFrom(page, files[kind]);
            right = WaitFor([](HWND) { return s_told != 0; }, page) && right;
            times[kind].push_back(s_told - start);
            imports.emplace_back(start, s_told);
            busy.push_back(s_told - s_taken);
            right = right && Rows(page) == rows;
            start = Milliseconds();
            SendMessageA(page, WM_COMMAND, IDC_UNDO_IMPORT, 0);
            undo.push_back(Milliseconds() - start);
            right = right && Rows(page) == 0;
            Pump();
        }
        double start = Milliseconds();
        right = ReadBook(book) == static_cast<size_t>(rows) && right;
        baseline.push_back(Milliseconds() - start);
    }
    prober.running = false;
    WaitForSingleObject(probing, 30000);
    CloseHandle(probing);
    UnhookWindowsHookEx(s_hook);
    UnhookWindowsHookEx(s_messageHook);

    Report("csv", times[0]);
    Report("vcard", times[1]);
    // The longest wait for an answer that was asked for while an import ran.
    double longest = 0;
    for (const auto& ask : prober.asks) {
        for (const auto& run : imports) {
            if (ask.first >= run.first && ask.first < run.second) longest = std::max(longest, ask.second);
        }
    }
    std::printf("answer %.1f\n", longest);
    Report("busy", busy);
    Report("undo", undo);
    Report("baseline", baseline);
    std::fflush(stdout);
    g_state.stop = 1;
    DestroyWindow(page);
    DestroyWindow(main);
    DeleteFileA(kNoBook);
    return right ? 0 : 1;
}
