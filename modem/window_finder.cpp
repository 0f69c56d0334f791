#include "modem/window_finder.h"

#include "base/text_utils.h"
#include "modem/window_list.h"

namespace {

constexpr int kTitleSize = 512;

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
