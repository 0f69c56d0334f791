// Importing contacts at scale: the real Phone Book page (dialog, list, loader, import) under a
// hidden stand-in for the main window, an empty phone book. Each import runs as the Import button
// runs it once the file is chosen (ImportContactsFrom): from the call to the moment its message
// shows, when every row is in the list; meanwhile another thread keeps asking the page for an
// answer, as the system does when the user clicks, and the longest wait is kept. Each import is
// then taken back (Undo import). The baseline is the program's own format: the same contacts as
// a phone book file, read whole and split into contacts by the core's line reader.
//
//   import_bench CSV VCARD BOOK ROWS REPEATS
// prints "csv MEDIAN_MS MAX_MS", "vcard MEDIAN_MS MAX_MS", "answer MAX_MS", "undo MEDIAN_MS MAX_MS"
// and "baseline MEDIAN_MS MAX_MS"; exit 1 when an import does not bring ROWS rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
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

namespace {

double Milliseconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

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

// Asks the page for an answer again and again while an import runs; keeps the longest wait.
struct Prober {
    HWND page;
    std::atomic<bool> running{true};
    std::atomic<bool> measuring{false};
    std::atomic<long> longestMicroseconds{0};
};

DWORD WINAPI Probe(void* parameter) {
    auto* prober = static_cast<Prober*>(parameter);
    while (prober->running) {
        double start = Milliseconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(prober->page, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        auto waited = static_cast<long>((Milliseconds() - start) * 1000);
        if (prober->measuring && waited > prober->longestMicroseconds) prober->longestMicroseconds = waited;
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

    Prober prober;
    prober.page = page;
    HANDLE probing = CreateThread(nullptr, 0, Probe, &prober, 0, nullptr);
    std::vector<double> times[2], undo, baseline;
    bool right = true;
    for (int i = 0; i < repeats; ++i) {
        for (int kind = 0; kind < 2; ++kind) {
            s_told = 0;
            prober.measuring = true;
            double start = Milliseconds();
            ImportContactsFrom(page, files[kind]);
            right = WaitFor([](HWND) { return s_told != 0; }, page) && right;
            times[kind].push_back(s_told - start);
            prober.measuring = false;
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

    Report("csv", times[0]);
    Report("vcard", times[1]);
    std::printf("answer %.1f\n", prober.longestMicroseconds / 1000.0);
    Report("undo", undo);
    Report("baseline", baseline);
    std::fflush(stdout);
    g_state.stop = 1;
    DestroyWindow(page);
    DestroyWindow(main);
    DeleteFileA(kNoBook);
    return right ? 0 : 1;
}
