#include "modem/window_finder.h"

#include "base/process_state.h"
#include "base/text_utils.h"
#include "modem/window_list.h"

namespace {

constexpr int kTitleSize = 512;
constexpr DWORD kSleepStepMs = 50;
constexpr DWORD kSleepUnitMs = 500;

struct TitleSearch {
    const char* list;
    HWND found;
};

BOOL CALLBACK CheckTitle(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TitleSearch*>(parameter);
    char title[kTitleSize];
    if (GetWindowTextA(window, title, sizeof title) <= 0) return TRUE;
    for (const char* text = search->list; *text != '\0'; text = NextWindowText(text)) {
        if (FindTextNoCase(title, text) != nullptr) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

HWND FindWindowByTitles(const char* list) {
    if (list == nullptr || list[0] == '\0') return nullptr;
    TitleSearch search{list, nullptr};
    EnumWindows(CheckTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool SleepWhileWindow(const std::atomic<HWND>* page, int count) {
    if (page == nullptr) return false;
    unsigned long long total = count > 0 ? static_cast<unsigned long long>(count) * kSleepUnitMs : 0;
    for (unsigned long long slept = 0; slept < total; slept += kSleepStepMs) {
        HWND window = page->load();
        if (window == nullptr || !IsWindow(window)) return false;
        if (g_state.stop != 0) break;  // the program ends: the caller's loop sees it next
        Sleep(kSleepStepMs);
    }
    HWND window = page->load();
    return window != nullptr && IsWindow(window);
}
