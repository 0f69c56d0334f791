#include "ui/choice_list.h"

#include <cstring>


namespace {

// The zero bytes behind the last text: the empty text that ends the list, and room to spare
// for readers that look a few bytes ahead.
constexpr size_t kTextListPadding = 4;

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

int Count(HWND dialog, int id) {
    LRESULT count = Send(dialog, id, CB_GETCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

}  // namespace

int AddChoice(HWND dialog, int id, const char* text, LPARAM data) {
    if (text == nullptr) return CB_ERR;
    LRESULT index = Send(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) Send(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

int AddChoicePair(HWND dialog, int id, const TextPair& pair) { return AddChoice(dialog, id, pair.text, pair.data); }

int AddChoiceNumber(HWND dialog, int id, DWORD number) {
    char text[16];
    wsprintfA(text, "%lu", number);
    return AddChoice(dialog, id, text, static_cast<LPARAM>(number));
}

LPARAM GetSelectedChoiceData(HWND dialog, int id) {
    LRESULT selected = Send(dialog, id, CB_GETCURSEL);
    if (selected < 0) return -1;
    return Send(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(selected));
}

int FindChoiceByData(HWND dialog, int id, LPARAM data) {
    int count = Count(dialog, id);
    for (int index = 0; index < count; ++index) {
        if (Send(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index)) == data) return index;
    }
    return -1;
}

int SelectChoiceByData(HWND dialog, int id, LPARAM data) {
    return SelectChoice(dialog, id, FindChoiceByData(dialog, id, data));
}

int SelectChoiceByText(HWND dialog, int id, const char* text) {
    LRESULT index = -1;
    // -1 as the start searches the whole list from the top.
    if (text != nullptr) index = Send(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    return SelectChoice(dialog, id, index >= 0 ? static_cast<int>(index) : -1);
}

int SelectChoice(HWND dialog, int id, int index) {
    return static_cast<int>(Send(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int DeleteSelectedChoice(HWND dialog, int id) {
    LRESULT selected = Send(dialog, id, CB_GETCURSEL);
    if (selected < 0) return -1;
    return static_cast<int>(Send(dialog, id, CB_DELETESTRING, static_cast<WPARAM>(selected)));
}

char* GetChoiceTexts(HWND dialog, int id) {
    int count = Count(dialog, id);
    size_t size = kTextListPadding;
    for (int index = 0; index < count; ++index) {
        LRESULT length = Send(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length >= 0) size += static_cast<size_t>(length) + 1;
    }
    char* block = static_cast<char*>(LocalAlloc(LPTR, size));
    if (block == nullptr) return nullptr;

    // The control copies a whole text with no size limit. A caller on another thread may see the
    // list change between the two passes, so each length is asked again right before its text is
    // read, and a text that would reach into the padding ends the list there.
    size_t used = 0;
    for (int index = 0; index < count; ++index) {
        LRESULT length = Send(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length < 0) continue;  // the entry has gone meanwhile
        if (static_cast<size_t>(length) + 1 > size - kTextListPadding - used) break;
        if (Send(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block + used)) < 0) continue;
        used += strnlen(block + used, static_cast<size_t>(length)) + 1;
    }
    return block;
}
