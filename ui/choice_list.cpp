#include "ui/choice_list.h"

#include <cstring>

#include "base/compare_text.h"

namespace {

// The same operation has a CB_ and an LB_ message; one row per kind of control.
struct ChoiceMessages {
    UINT addString;
    UINT setItemData;
    UINT getItemData;
    UINT getCurSel;
    UINT setCurSel;
    UINT getCount;
    UINT findStringExact;
    UINT deleteString;
    UINT getTextLen;
    UINT getText;
};

constexpr ChoiceMessages kComboMessages = {
    CB_ADDSTRING, CB_SETITEMDATA,     CB_GETITEMDATA,  CB_GETCURSEL,     CB_SETCURSEL,
    CB_GETCOUNT,  CB_FINDSTRINGEXACT, CB_DELETESTRING, CB_GETLBTEXTLEN, CB_GETLBTEXT,
};
constexpr ChoiceMessages kListMessages = {
    LB_ADDSTRING, LB_SETITEMDATA,     LB_GETITEMDATA,  LB_GETCURSEL,   LB_SETCURSEL,
    LB_GETCOUNT,  LB_FINDSTRINGEXACT, LB_DELETESTRING, LB_GETTEXTLEN, LB_GETTEXT,
};

// The zero bytes behind the last text: the empty text that ends the list, and room to spare
// for readers that look a few bytes ahead.
constexpr size_t kTextListPadding = 4;

const ChoiceMessages& MessagesFor(HWND dialog, int id) {
    return IsComboBox(dialog, id) ? kComboMessages : kListMessages;
}

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

int Count(HWND dialog, int id, const ChoiceMessages& m) {
    LRESULT count = Send(dialog, id, m.getCount);
    return count > 0 ? static_cast<int>(count) : 0;
}

}  // namespace

bool IsComboBox(HWND dialog, int id) {
    // The whole name, not a prefix: "ComboBoxEx32" takes other messages. A buffer sized for
    // "COMBOBOX" alone would cut it down to a false match.
    char className[256];
    int length = GetClassNameA(GetDlgItem(dialog, id), className, sizeof className);
    static const char kCombo[] = "COMBOBOX";
    return length == sizeof kCombo - 1 && CompareTextNoCase(className, length, kCombo, length) == 0;
}

int AddChoice(HWND dialog, int id, const char* text, LPARAM data) {
    if (text == nullptr) return CB_ERR;
    const ChoiceMessages& m = MessagesFor(dialog, id);
    LRESULT index = Send(dialog, id, m.addString, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) Send(dialog, id, m.setItemData, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

int AddChoicePair(HWND dialog, int id, const TextPair& pair) { return AddChoice(dialog, id, pair.text, pair.data); }

int AddChoiceNumber(HWND dialog, int id, DWORD number) {
    char text[16];
    wsprintfA(text, "%lu", number);
    return AddChoice(dialog, id, text, static_cast<LPARAM>(number));
}

LPARAM GetSelectedChoiceData(HWND dialog, int id) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    LRESULT selected = Send(dialog, id, m.getCurSel);
    if (selected < 0) return -1;
    return Send(dialog, id, m.getItemData, static_cast<WPARAM>(selected));
}

LPARAM GetChoiceData(HWND dialog, int id, int index) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    if (index < 0 || index >= Count(dialog, id, m)) return -1;
    return Send(dialog, id, m.getItemData, static_cast<WPARAM>(index));
}

int FindChoiceByData(HWND dialog, int id, LPARAM data) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    int count = Count(dialog, id, m);
    for (int index = 0; index < count; ++index) {
        if (Send(dialog, id, m.getItemData, static_cast<WPARAM>(index)) == data) return index;
    }
    return -1;
}

int SelectChoiceByData(HWND dialog, int id, LPARAM data) {
    return SelectChoice(dialog, id, FindChoiceByData(dialog, id, data));
}

int SelectChoiceByText(HWND dialog, int id, const char* text) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    LRESULT index = -1;
    // -1 as the start searches the whole list from the top.
    if (text != nullptr) index = Send(dialog, id, m.findStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    return SelectChoice(dialog, id, index >= 0 ? static_cast<int>(index) : -1);
}

int SelectChoice(HWND dialog, int id, int index) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    return static_cast<int>(Send(dialog, id, m.setCurSel, static_cast<WPARAM>(index)));
}

int DeleteSelectedChoice(HWND dialog, int id) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    LRESULT selected = Send(dialog, id, m.getCurSel);
    if (selected < 0) return -1;
    return static_cast<int>(Send(dialog, id, m.deleteString, static_cast<WPARAM>(selected)));
}

char* GetChoiceTexts(HWND dialog, int id) {
    const ChoiceMessages& m = MessagesFor(dialog, id);
    int count = Count(dialog, id, m);
    size_t size = kTextListPadding;
    for (int index = 0; index < count; ++index) {
        LRESULT length = Send(dialog, id, m.getTextLen, static_cast<WPARAM>(index));
        if (length >= 0) size += static_cast<size_t>(length) + 1;
    }
    char* block = static_cast<char*>(LocalAlloc(LPTR, size));
    if (block == nullptr) return nullptr;

    // The control copies a whole text with no size limit. A caller on another thread may see the
    // list change between the two passes, so each length is asked again right before its text is
    // read, and a text that would reach into the padding ends the list there.
    size_t used = 0;
    for (int index = 0; index < count; ++index) {
        LRESULT length = Send(dialog, id, m.getTextLen, static_cast<WPARAM>(index));
        if (length < 0) continue;  // the entry has gone meanwhile
        if (static_cast<size_t>(length) + 1 > size - kTextListPadding - used) break;
        if (Send(dialog, id, m.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block + used)) < 0) continue;
        used += strnlen(block + used, static_cast<size_t>(length)) + 1;
    }
    return block;
}
