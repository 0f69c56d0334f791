#include "ui/tree_view.h"

#include <climits>

#include "base/text_utils.h"
#include "base/win_state.h"

namespace {

// Item texts are compared over this many bytes, terminator included.
constexpr size_t kItemTextSize = 256;

// lParam is a structure of ours or an item handle.
LRESULT SendPointer(HWND dialog, int id, UINT message, WPARAM wParam, const void* lParam) {
    return SendDlgItemMessageA(dialog, id, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

HTREEITEM Next(HWND dialog, int id, UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(SendPointer(dialog, id, TVM_GETNEXTITEM, relation, item));
}

// Depth first from start and the siblings behind it.
HTREEITEM FindFrom(HWND dialog, int id, HTREEITEM start, const char* text) {
    for (HTREEITEM item = start; item != nullptr; item = Next(dialog, id, TVGN_NEXT, item)) {
        char itemText[kItemTextSize];
        if (GetTreeItemText(dialog, id, item, itemText, sizeof itemText) && lstrcmpiA(itemText, text) == 0) return item;
        HTREEITEM child = Next(dialog, id, TVGN_CHILD, item);
        HTREEITEM found = child != nullptr ? FindFrom(dialog, id, child, text) : nullptr;
        if (found != nullptr) return found;
    }
    return nullptr;
}

HINSTANCE ResourceInstance() { return g_win.instance != nullptr ? g_win.instance : GetModuleHandleA(nullptr); }

}  // namespace

HTREEITEM AddTreeItem(HWND dialog, int id, HTREEITEM parent, LPARAM data, const char* text) {
    if (text == nullptr) return nullptr;
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent != nullptr ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = data;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendPointer(dialog, id, TVM_INSERTITEMA, 0, &insert));
    if (item != nullptr) SendPointer(dialog, id, TVM_EXPAND, TVE_EXPAND, insert.hParent);
    return item;
}

HTREEITEM AddTreeItemRes(HWND dialog, int id, HTREEITEM parent, LPARAM data, UINT textId) {
    char text[kItemTextSize];
    if (LoadStringA(ResourceInstance(), textId, text, sizeof text) <= 0) text[0] = '\0';
    return AddTreeItem(dialog, id, parent, data, text);
}

HWND GetTreeItemData(HWND dialog, int id, HTREEITEM item) {
    if (item == nullptr) return nullptr;
    TVITEMA read = {};
    read.mask = TVIF_HANDLE | TVIF_PARAM;
    read.hItem = item;
    if (SendPointer(dialog, id, TVM_GETITEMA, 0, &read) == 0) return nullptr;
    return reinterpret_cast<HWND>(read.lParam);
}

bool GetTreeItemText(HWND dialog, int id, HTREEITEM item, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    buffer[0] = '\0';
    if (item == nullptr) return false;
    TVITEMA read = {};
    read.mask = TVIF_HANDLE | TVIF_TEXT;
    read.hItem = item;
    read.pszText = buffer;
    read.cchTextMax = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    if (SendPointer(dialog, id, TVM_GETITEMA, 0, &read) == 0) {
        buffer[0] = '\0';
        return false;
    }
    // As with list views, the answer may point at the control's own copy of the text.
    if (read.pszText != buffer) CopyText(buffer, size, read.pszText == LPSTR_TEXTCALLBACKA ? nullptr : read.pszText);
    buffer[size - 1] = '\0';
    return true;
}

HTREEITEM GetSelectedTreeItem(HWND dialog, int id) { return Next(dialog, id, TVGN_CARET, nullptr); }

HTREEITEM FindTreeItemByText(HWND dialog, int id, const char* text) {
    return text != nullptr ? FindFrom(dialog, id, Next(dialog, id, TVGN_ROOT, nullptr), text) : nullptr;
}
