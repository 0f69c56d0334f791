// The main window in this process: its tree of pages, the remembered page, the page messages and
// the end. Pages are watched through a subclass that records what reaches them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/messages.h"
#include "app/page_tree.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "res/resource_ids.h"
#include "ui/tree_view.h"

namespace {

const UINT kProbeMessage = WM_APP + 7;

struct Received {
    HWND page;
    UINT message;
    WPARAM wParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage || message == WM_COMMAND) g_received.push_back({page, message, wParam});
    auto original = reinterpret_cast<WNDPROC>(GetPropA(page, "test.proc"));
    return CallWindowProcA(original, page, message, wParam, lParam);
}

struct Item {
    int depth;
    std::string text;
    HWND page;
    bool expanded;
};

void Collect(HWND tree, HTREEITEM item, int depth, std::vector<Item>* items) {
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        char text[64] = {};
        TVITEMA query{};
        query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = sizeof text;
        query.stateMask = TVIS_EXPANDED;
        TreeView_GetItem(tree, &query);
        items->push_back({depth, text, reinterpret_cast<HWND>(query.lParam), (query.state & TVIS_EXPANDED) != 0});
        Collect(tree, TreeView_GetChild(tree, item), depth + 1, items);
    }
}

// The page's own visibility: IsWindowVisible also asks the (hidden) main window.
bool Shown(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (!IsDialogMessageA(g_win.mainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        g_received.clear();
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
    }
    void Create() {
        window_ = CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_NE(nullptr, window_);
        Pump();
    }
    HWND Tree() const { return GetDlgItem(window_, IDC_PAGE_TREE); }
    std::vector<Item> Items() const {
        std::vector<Item> items;
        Collect(Tree(), TreeView_GetRoot(Tree()), 0, &items);
        return items;
    }
    std::string Selected() const {
        char text[64] = {};
        HTREEITEM item = TreeView_GetSelection(Tree());
        if (item != nullptr) GetTreeItemText(window_, IDC_PAGE_TREE, item, text, sizeof text);
        return text;
    }
    void WatchPages() {
        for (const Item& item : Items()) {
            SetPropA(item.page, "test.proc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(item.page, GWLP_WNDPROC)));
            SetWindowLongPtrA(item.page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
        }
    }
    HWND window_ = nullptr;
};

TEST_F(MainWindow, TreeOfTwelvePagesExpanded) {
    Create();
    struct Expected {
        int depth;
        const char* text;
    } const expected[] = {
        {0, "Caller Log"}, {0, "Modem"}, {1, "COM1"}, {1, "COM2"}, {1, "COM3"}, {1, "COM4"},
        {0, "Network"}, {0, "Popup Window"}, {1, "Sounds"}, {0, "Phone Book"}, {0, "Support"}, {1, "Program Log"},
    };
    std::vector<Item> items = Items();
    ASSERT_EQ(12u, items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(expected[i].depth, items[i].depth) << i;
        EXPECT_EQ(expected[i].text, items[i].text) << i;
        ASSERT_NE(nullptr, items[i].page) << items[i].text;
        EXPECT_EQ(window_, GetParent(items[i].page)) << items[i].text;
    }
    for (const char* parent : {"Modem", "Popup Window", "Support"}) {
        for (const Item& item : items) {
            if (item.text == parent) {
                EXPECT_TRUE(item.expanded) << parent;
            }
        }
    }
    // Every page window is different, and only the selected one is shown.
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) EXPECT_NE(items[i].page, items[j].page);
        EXPECT_EQ(items[i].text == Selected(), Shown(items[i].page)) << items[i].text;
    }
    EXPECT_FALSE(IsWindowVisible(window_));
    DWORD stored = ReadSettingDword("hWnd", 0);
    EXPECT_EQ(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window_)), stored);
}

TEST_F(MainWindow, RemembersTheSelectedPage) {
    struct Case {
        const char* stored;
        const char* selected;
    } const cases[] = {
        {"COM3", "COM3"}, {"caller log", "Caller Log"}, {"SOUNDS", "Sounds"}, {"Program Log", "Program Log"},
        {"Fax", "Caller Log"},  // a page that no longer exists: the first one
        {nullptr, "Caller Log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? c.stored : "(none)");
        if (c.stored != nullptr) WriteSetting("settsel", c.stored, lstrlenA(c.stored) + 1, REG_SZ);
        Create();
        EXPECT_EQ(c.selected, Selected());
        HWND page = GetSelectedPage(window_);
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(Shown(page));
        EXPECT_TRUE(IsWindowEnabled(page));
        DestroyWindow(window_);
        Pump();
        char after[64];
        ASSERT_EQ(REG_SZ, ReadSetting("settsel", after, sizeof after));
        EXPECT_STREQ(c.selected, after);
        EXPECT_EQ(-1, ReadSetting("hWnd", after, sizeof after));
        WriteSetting("settsel", nullptr, 0, REG_SZ);
    }
}

TEST_F(MainWindow, SelectionMovesThePageAndTellsBoth) {
    Create();
    WatchPages();
    HWND before = GetSelectedPage(window_);
    ASSERT_TRUE(SelectTreeItemByText(window_, IDC_PAGE_TREE, "Network"));
    Pump();
    HWND after = GetSelectedPage(window_);
    EXPECT_FALSE(Shown(before));
    EXPECT_FALSE(IsWindowEnabled(before));
    EXPECT_TRUE(Shown(after));
    std::vector<Received> activations;
    for (const Received& r : g_received) {
        if (r.message == WM_COMMAND && LOWORD(r.wParam) == CMD_PAGE_ACTIVATE) activations.push_back(r);
    }
    ASSERT_EQ(2u, activations.size());
    EXPECT_EQ(before, activations[0].page);
    EXPECT_EQ(after, activations[1].page);
    // The page sits right of the tree, over the rest of the client area.
    RECT tree;
    RECT page;
    GetWindowRect(Tree(), &tree);
    GetWindowRect(after, &page);
    EXPECT_EQ(tree.right + 3, page.left);
}

TEST_F(MainWindow, BroadcastVisitsPagesInTreeOrder) {
    Create();
    WatchPages();
    std::vector<Item> items = Items();
    // An item without a page is passed over.
    AddTreeItem(window_, IDC_PAGE_TREE, nullptr, 0, "No page");
    BroadcastToPages(nullptr, kProbeMessage, 5, 0);
    ASSERT_EQ(items.size(), g_received.size());
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].page, g_received[i].page) << items[i].text;

    g_received.clear();
    HTREEITEM popup = FindTreeItemByText(window_, IDC_PAGE_TREE, nullptr, "Popup Window");
    BroadcastToPages(popup, kProbeMessage, 5, 0);  // from an item on: it, its children, its later siblings
    std::vector<std::string> reached;
    for (const Received& r : g_received) {
        for (const Item& item : items) {
            if (item.page == r.page) reached.push_back(item.text);
        }
    }
    EXPECT_EQ((std::vector<std::string>{"Popup Window", "Sounds", "Phone Book", "Support", "Program Log"}), reached);
}

TEST_F(MainWindow, EnterReachesTheSelectedPage) {
    Create();
    WatchPages();
    HWND page = GetSelectedPage(window_);
    PostMessageA(Tree(), WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    bool reached = false;
    for (const Received& r : g_received) reached |= r.page == page && r.message == WM_COMMAND && r.wParam == IDOK;
    EXPECT_TRUE(reached);
}

TEST_F(MainWindow, CloseSavesPagesAndHides) {
    Create();
    SendMessageA(window_, WM_COMMAND, CMD_SHOW, 0);
    EXPECT_TRUE(IsWindowVisible(window_));
    WatchPages();
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(IsWindow(window_));
    size_t saves = 0;
    for (const Received& r : g_received) saves += r.message == WM_COMMAND && r.wParam == CMD_PAGE_SAVE;
    EXPECT_EQ(12u, saves);
    SendMessageA(window_, WM_COMMAND, IDCANCEL, 0);  // Escape hides too
    Pump();
    EXPECT_FALSE(IsWindowVisible(window_));
}

TEST_F(MainWindow, StoppedIgnoresLeftClicks) {
    Create();
    SendMessageA(window_, MSG_TRAY_CALLBACK, TRAY_ICON_ID, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window_));
    SendMessageA(window_, WM_CLOSE, 0, 0);
    SendMessageA(window_, WM_COMMAND, CMD_STOP, 0);
    EXPECT_EQ(1u, g_state.stop);
    SendMessageA(window_, MSG_TRAY_CALLBACK, TRAY_ICON_ID, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(window_));
    SendMessageA(window_, MSG_TRAY_CALLBACK, TRAY_ICON_ID + 1, WM_LBUTTONUP);  // another icon's click
    EXPECT_FALSE(IsWindowVisible(window_));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Windows reuses the handle of a window that is gone, so the stored value of a copy that was
// killed may name any window by now; only a running copy's main window is told to show or exit.
TEST_F(MainWindow, OnlyAMainWindowCountsAsTheRunningCopy) {
    Create();
    HWND plain = CreateWindowExA(0, "STATIC", "Main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty{};
    empty.header.style = WS_POPUP;
    HWND dialog = CreateDialogIndirectParamA(g_win.instance, &empty.header, nullptr, PlainDialogProc, 0);
    ASSERT_NE(nullptr, plain);
    ASSERT_NE(nullptr, dialog);
    struct Case {
        const char* what;
        HWND stored;
        HWND found;
    } const cases[] = {
        {"the main window", window_, window_},
        {"a window of another class", plain, nullptr},
        {"a dialog without the page tree", dialog, nullptr},
    };
    for (const Case& c : cases) {
        WriteSettingDword("hWnd", static_cast<DWORD>(reinterpret_cast<UINT_PTR>(c.stored)));
        EXPECT_EQ(c.found, FindRunningCopy()) << c.what;
    }
    DestroyWindow(dialog);
    DestroyWindow(plain);
}

TEST_F(MainWindow, ExitEndsTheLoop) {
    for (int command : {IDM_TRAY_EXIT, IDM_FILE_EXIT}) {
        SCOPED_TRACE(command);
        SetProcessDefaults(&g_state);
        Create();
        SendMessageA(window_, WM_COMMAND, command, 0);
        EXPECT_FALSE(IsWindow(window_));
        EXPECT_EQ(1u, g_state.stop);
        MSG message;
        bool quit = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) quit |= message.message == WM_QUIT;
        EXPECT_TRUE(quit);
        DWORD value;
        EXPECT_EQ(-1, ReadSetting("hWnd", &value, sizeof value));
    }
}

}  // namespace
