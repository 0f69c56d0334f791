// Reads and drives a running copy of the program from outside, as a user's tools would: finds it
// through "hWnd" and talks to its windows with messages; where a control wants a structure, the
// structure and its text buffer are placed in the program's own memory. End-to-end tests run it
// beside tellwire.exe in the same Wine prefix. Output is one record per line, fields tab-separated.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/messages.h"
#include "base/product.h"
#include "res/resource_ids.h"

namespace {

const char kUsage[] =
    "usage: probe VERB [ARGS]\n"
    "  main-window              the running copy's main window handle (exit 1 if none)\n"
    "  visible                  1 when the main window is shown, else 0\n"
    "  command ID               post WM_COMMAND ID to the main window\n"
    "  post MSG WPARAM LPARAM [TIMES]  post any message to the main window (TIMES times)\n"
    "  tray left|right          click the tray icon (its callback message)\n"
    "  tree                     the page tree: depth, text, has page, expanded, selected\n"
    "  select TEXT              select the tree item with that text (any case)\n"
    "  page                     the selected item's text and whether its page is shown\n"
    "  log                      the lines of the program log\n"
    "  list PAGE CONTROL        the cells of a list view on a page (rows of tab-separated cells)\n"
    "  rows PAGE CONTROL        the number of rows of a list view on a page\n"
    "  values                   every value of the program's settings key exactly as stored:\n"
    "                           name, type, size and the bytes in hex\n"
    "  popups                   the text of every popup window\n"
    "  menus                    the number of open menus\n"
    "  menu-choose N            choose the Nth item (from 1) of the open menu\n"
    "  window TITLE SECONDS     show a window of another program with that title for a while\n"
    "  close-popups             double-click every popup\n"
    "  crash-thread             start a thread at address 0 in the running copy (it crashes)\n"
    "  dialog TITLE             the window with that title: its height, then each control's\n"
    "                           identifier, enabled state and text (CR and LF written as \\r \\n)\n"
    "  dialog-command TITLE ID  post WM_COMMAND ID to the window with that title\n";

// A block in the running copy's memory, for controls that take a pointer.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    bool ok() const { return address_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) {
        return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) {
        return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

HWND MainWindow() {
    HWND window = ReadRunningMainWindow();
    return (window != nullptr && IsWindow(window)) ? window : nullptr;
}

struct TreeItem {
    HTREEITEM handle;
    int depth;
    std::string text;
    HWND page;
    bool expanded;
    bool selected;
};

bool ReadTreeItem(HWND tree, HTREEITEM item, TreeItem* out) {
    RemoteBlock block(tree, sizeof(TVITEMA) + 256);
    if (!block.ok()) return false;
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_HANDLE;
    query.hItem = item;
    query.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    query.pszText = block.at(sizeof(TVITEMA));
    query.cchTextMax = 256;
    if (!block.Write(0, &query, sizeof query)) return false;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)))) return false;
    TVITEMA answer{};
    char text[257] = {};
    if (!block.Read(0, &answer, sizeof answer) || !block.Read(sizeof(TVITEMA), text, 256)) return false;
    out->handle = item;
    out->text = text;
    out->page = reinterpret_cast<HWND>(answer.lParam);
    out->expanded = (answer.state & TVIS_EXPANDED) != 0;
    out->selected = item == reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return true;
}

void CollectTree(HWND tree, HTREEITEM item, int depth, std::vector<TreeItem>* items) {
    for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                            reinterpret_cast<LPARAM>(item)))) {
        TreeItem read{};
        if (!ReadTreeItem(tree, item, &read)) continue;
        read.depth = depth;
        items->push_back(read);
        HTREEITEM child = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        CollectTree(tree, child, depth + 1, items);
    }
}

std::vector<TreeItem> ReadTree(HWND main) {
    std::vector<TreeItem> items;
    HWND tree = GetDlgItem(main, IDC_PAGE_TREE);
    CollectTree(tree, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0, &items);
    return items;
}

const TreeItem* FindItem(const std::vector<TreeItem>& items, const char* text) {
    for (const TreeItem& item : items) {
        if (lstrcmpiA(item.text.c_str(), text) == 0) return &item;
    }
    return nullptr;
}

int PrintTree(HWND main) {
    for (const TreeItem& item : ReadTree(main)) {
        std::printf("%d\t%s\t%d\t%d\t%d\n", item.depth, item.text.c_str(), item.page != nullptr ? 1 : 0,
                    item.expanded ? 1 : 0, item.selected ? 1 : 0);
    }
    return 0;
}

int SelectItem(HWND main, const char* text) {
    std::vector<TreeItem> items = ReadTree(main);
    const TreeItem* item = FindItem(items, text);
    if (item == nullptr) return 1;
    SendMessageA(GetDlgItem(main, IDC_PAGE_TREE), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item->handle));
    return 0;
}

int PrintSelectedPage(HWND main) {
    for (const TreeItem& item : ReadTree(main)) {
        if (!item.selected) continue;
        std::printf("%s\t%d\n", item.text.c_str(), item.page != nullptr && IsWindowVisible(item.page) ? 1 : 0);
        return 0;
    }
    return 1;
}

int PrintLog(HWND main) {
    std::vector<TreeItem> items = ReadTree(main);
    const TreeItem* item = FindItem(items, "Program Log");
    if (item == nullptr || item->page == nullptr) return 1;
    // Asked in wide text: Wine hands an ANSI LB_GETTEXT from another process the wide text.
    // The list moves while it is read (the oldest lines go as new ones come), so a line may be
    // longer than the length asked for a moment before: the buffer holds the longest line the
    // program makes (a formatted text of 1024 bytes and its time).
    constexpr size_t kLongestLine = 2048;
    LRESULT count = SendMessageW(item->page, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(item->page, LB_GETTEXTLEN, i, 0);
        if (length < 0 || static_cast<size_t>(length) >= kLongestLine) continue;
        std::vector<wchar_t> wide(kLongestLine + 1, L'\0');
        if (SendMessageW(item->page, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data())) < 0) continue;
        wide[kLongestLine] = L'\0';
        std::vector<char> line(wide.size() * 2, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, line.data(), static_cast<int>(line.size()), nullptr, nullptr);
        std::printf("%s\n", line.data());
    }
    return 0;
}

int PrintList(HWND main, const char* pageText, int control) {
    std::vector<TreeItem> items = ReadTree(main);
    const TreeItem* item = FindItem(items, pageText);
    HWND list = item != nullptr ? GetDlgItem(item->page, control) : nullptr;
    if (list == nullptr) return 1;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int columns = header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    RemoteBlock block(list, sizeof(LVITEMA) + 1024);
    if (!block.ok()) return 1;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            LVITEMA query{};
            query.iSubItem = column;
            query.pszText = block.at(sizeof(LVITEMA));
            query.cchTextMax = 1024;
            char text[1025] = {};
            block.Write(0, &query, sizeof query);
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.at(0)));
            block.Read(sizeof(LVITEMA), text, 1024);
            std::printf(column == 0 ? "%s" : "\t%s", text);
        }
        std::printf("\n");
    }
    return 0;
}

int PrintRowCount(HWND main, const char* pageText, int control) {
    std::vector<TreeItem> items = ReadTree(main);
    const TreeItem* item = FindItem(items, pageText);
    HWND list = item != nullptr ? GetDlgItem(item->page, control) : nullptr;
    if (list == nullptr) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
}

// Read past the program's own store, so that a value the program would refuse shows as it is.
int PrintStoredValues() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex\\Tellwire v1.2", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 1;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size + 1, 0);
        nameSize = sizeof name;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        std::printf("%s\t%lu\t%lu\t", name, type, size);
        for (DWORD i = 0; i < size; ++i) std::printf("%02x", data[i]);
        std::printf("\n");
    }
    RegCloseKey(key);
    return 0;
}

BOOL CALLBACK PrintPopup(HWND window, LPARAM) {
    char className[32];
    if (GetClassNameA(window, className, sizeof className) && std::strcmp(className, kPopupClassName) == 0) {
        char text[1024] = {};
        GetWindowTextA(window, text, sizeof text);
        std::string flat;  // one line: each line break becomes "|"
        for (const char* c = text; *c != '\0'; ++c) {
            if (*c == '\r' && c[1] == '\n') continue;
            flat += (*c == '\r' || *c == '\n') ? '|' : *c;
        }
        std::printf("%s\t%d\n", flat.c_str(), IsWindowVisible(window) ? 1 : 0);
    }
    return TRUE;
}

BOOL CALLBACK DoubleClickPopup(HWND window, LPARAM) {
    char className[32];
    if (GetClassNameA(window, className, sizeof className) && std::strcmp(className, kPopupClassName) == 0) {
        PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    }
    return TRUE;
}

BOOL CALLBACK CountMenu(HWND window, LPARAM counter) {
    char className[32];
    if (GetClassNameA(window, className, sizeof className) && std::strcmp(className, "#32768") == 0 &&
        IsWindowVisible(window)) {
        ++*reinterpret_cast<int*>(counter);
    }
    return TRUE;
}

BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    char className[32];
    if (GetClassNameA(window, className, sizeof className) && std::strcmp(className, "#32768") == 0 &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Keys posted to the menu window walk it like a user's keyboard would.
int ChooseMenuItem(int position) {
    HWND menu = nullptr;
    EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&menu));
    if (menu == nullptr) return 1;
    for (int i = 0; i < position; ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYUP, VK_DOWN, 0);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(menu, WM_KEYUP, VK_RETURN, 0);
    return 0;
}

// A stand-in for a fax or dialling program: a plain top-level window with the given title.
int ShowWindowFor(const char* title, int seconds) {
    HWND window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED | WS_VISIBLE, 10, 10, 200, 60, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return 1;
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(20);
    }
    DestroyWindow(window);
    return 0;
}

// An unhandled fault on a thread of the running copy, for its crash reporter.
int CrashThread(HWND main) {
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, processId);
    if (process == nullptr) return 1;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, nullptr, nullptr, 0, nullptr);
    CloseHandle(process);
    if (thread == nullptr) return 1;
    CloseHandle(thread);
    return 0;
}

std::string ControlText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &got);
    text.resize(got < length ? got : length);
    std::string escaped;
    for (char c : text) escaped += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return escaped;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    std::printf("%d\t%d\t%s\n", GetDlgCtrlID(control), IsWindowEnabled(control) ? 1 : 0, ControlText(control).c_str());
    return TRUE;
}

int PrintDialog(const char* title) {
    HWND dialog = FindWindowA(nullptr, title);
    if (dialog == nullptr || !IsWindowVisible(dialog)) return 1;
    RECT frame{};
    GetWindowRect(dialog, &frame);
    std::printf("%ld\n", frame.bottom - frame.top);
    EnumChildWindows(dialog, PrintControl, 0);
    return 0;
}

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string verb = argv[1];
    if (verb == "popups") return EnumWindows(PrintPopup, 0) ? 0 : 1;
    if (verb == "close-popups") return EnumWindows(DoubleClickPopup, 0) ? 0 : 1;
    if (verb == "menus") {
        int count = 0;
        EnumWindows(CountMenu, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return 0;
    }
    if (verb == "menu-choose" && argc == 3) return ChooseMenuItem(std::atoi(argv[2]));
    if (verb == "window" && argc == 4) return ShowWindowFor(argv[2], std::atoi(argv[3]));
    if (verb == "values") return PrintStoredValues();
    if (verb == "dialog" && argc == 3) return PrintDialog(argv[2]);
    if (verb == "dialog-command" && argc == 4) {
        HWND dialog = FindWindowA(nullptr, argv[2]);
        return dialog != nullptr && PostMessageA(dialog, WM_COMMAND, std::atoi(argv[3]), 0) ? 0 : 1;
    }
    HWND main = MainWindow();
    if (verb == "visible") {
        std::printf("%d\n", main != nullptr && IsWindowVisible(main) ? 1 : 0);
        return 0;
    }
    if (main == nullptr) return 1;
    if (verb == "main-window") {
        std::printf("%p\n", static_cast<void*>(main));
        return 0;
    }
    if (verb == "command" && argc == 3) return PostMessageA(main, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    if (verb == "post" && (argc == 5 || argc == 6)) {
        int times = argc == 6 ? std::atoi(argv[5]) : 1;
        for (int i = 0; i < times; ++i) {
            if (!PostMessageA(main, std::strtoul(argv[2], nullptr, 0), std::strtoull(argv[3], nullptr, 0),
                              std::strtoll(argv[4], nullptr, 0))) {
                return 1;
            }
        }
        return 0;
    }
    if (verb == "tray" && argc == 3) {
        LPARAM mouse = std::strcmp(argv[2], "right") == 0 ? WM_RBUTTONUP : WM_LBUTTONUP;
        return PostMessageA(main, MSG_TRAY_CALLBACK, TRAY_ICON_ID, mouse) ? 0 : 1;
    }
    if (verb == "tree") return PrintTree(main);
    if (verb == "select" && argc == 3) return SelectItem(main, argv[2]);
    if (verb == "page") return PrintSelectedPage(main);
    if (verb == "log") return PrintLog(main);
    if (verb == "list" && argc == 4) return PrintList(main, argv[2], std::atoi(argv[3]));
    if (verb == "rows" && argc == 4) return PrintRowCount(main, argv[2], std::atoi(argv[3]));
    if (verb == "crash-thread") return CrashThread(main);
    return Usage();
}
