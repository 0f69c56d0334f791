// The main window in this process: its tree of pages, the remembered page, what the pages are told,
// which window counts as a running copy, the help F1 opens, and the role page (the "Modem" item),
// whose role changes reach every page. Pages are watched through a subclass that records the commands they get.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/page_tree.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/product.h"
#include "diag/crash_dialog.h"
#include "present/popup_window.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "net/role_page_ids.h"
#include "res/resource_ids.h"
#include "tests/win/win_test.h"
#include "ui/tree_view.h"

namespace {

using Told = std::vector<std::pair<HWND, LPARAM>>;  // pages and what they were told, in order

struct Received {
    HWND page;
    WPARAM command;
    LPARAM lParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) g_received.push_back({page, wParam, lParam});
    auto original = reinterpret_cast<WNDPROC>(GetPropA(page, "test.proc"));
    return CallWindowProcA(original, page, message, wParam, lParam);
}

// The tree, one line an item: indented by its depth, with " +" when it has children and shows them.
void Collect(HWND tree, HTREEITEM item, const std::string& indent, std::vector<std::string>* lines,
             std::vector<HWND>* pages) {
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        char text[64] = {};
        TVITEMA query{};
        query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = sizeof text;
        query.stateMask = TVIS_EXPANDED;
        TreeView_GetItem(tree, &query);
        HTREEITEM child = TreeView_GetChild(tree, item);
        lines->push_back(indent + text + (child != nullptr && (query.state & TVIS_EXPANDED) ? " +" : ""));
        pages->push_back(reinterpret_cast<HWND>(query.lParam));
        Collect(tree, child, indent + "  ", lines, pages);
    }
}

// The page's own visibility: IsWindowVisible also asks the (hidden) main window.
bool Shown(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        WipeSettings();
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        Pump();
        WipeSettings();
    }
    // The main window with its pages, started with the role as start-up reads it.
    void Create(uint32_t role = 2) {
        g_state.role = role;
        window_ = CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_NE(nullptr, window_);
        tree_.clear();
        pages_.clear();
        Collect(Tree(), TreeView_GetRoot(Tree()), "", &tree_, &pages_);
        ASSERT_EQ(13u, pages_.size());
        for (HWND page : pages_) {
            SetPropA(page, "test.proc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(page, GWLP_WNDPROC)));
            SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
        }
        rolePage_ = pages_[1];
        g_received.clear();
        Pump();  // the role page's own start tells every page once
    }
    HWND Tree() const { return GetDlgItem(window_, IDC_PAGE_TREE); }
    bool SelectPage(const char* text) {
        HTREEITEM item = FindTreeItemByText(window_, IDC_PAGE_TREE, text);
        return item != nullptr && TreeView_SelectItem(Tree(), item);
    }
    std::string Selected() const {
        char text[64] = {};
        GetTreeItemText(window_, IDC_PAGE_TREE, TreeView_GetSelection(Tree()), text, sizeof text);
        return text;
    }
    // Sends, after forgetting what the pages were told before, and handles what follows.
    void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam = 0) {
        g_received.clear();
        SendMessageA(window, message, wParam, lParam);
        Pump();
    }
    Told TheyGot(WPARAM command) const {
        Told told;
        for (const Received& r : g_received) {
            if (r.command == command) told.push_back({r.page, r.lParam});
        }
        return told;
    }
    Told EveryPage(LPARAM value) const {
        Told told;
        for (HWND page : pages_) told.push_back({page, value});
        return told;
    }
    bool Checked(int id) const { return IsDlgButtonChecked(rolePage_, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(rolePage_, id)) != FALSE; }
    // -1 when "role" is not stored.
    int StoredRole() { return static_cast<int>(ReadSettingDword("role", 0xFFFFFFFF)); }

    HWND window_ = nullptr;
    HWND rolePage_ = nullptr;
    std::vector<std::string> tree_;
    std::vector<HWND> pages_;
};

TEST_F(MainWindow, TreeOfThirteenPagesInOrderEachWithAPage) {
    Create();
    EXPECT_EQ((std::vector<std::string>{"Caller Log", "Modem +", "  COM1", "  COM2", "  COM3", "  COM4", "Network",
                                        "Popup Window +", "  Sounds", "Phone Book +", "  Blocked Numbers", "Support +",
                                        "  Program Log"}),
              tree_);
    for (size_t i = 0; i < pages_.size(); ++i) EXPECT_EQ(i == 0, Shown(pages_[i])) << tree_[i];
}

TEST_F(MainWindow, RemembersTheSelectedPage) {
    struct Case {
        const char* stored;
        const char* selected;
    } const cases[] = {
        {"COM3", "COM3"}, {"SOUNDS", "Sounds"},  // found in any case of letters
        {"Fax", "Caller Log"},  // a page that no longer exists: the first one
        {nullptr, "Caller Log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? c.stored : "(none)");
        WriteSetting("settsel", c.stored, c.stored != nullptr ? lstrlenA(c.stored) + 1 : 0, REG_SZ);
        Create();
        EXPECT_EQ(c.selected, Selected());
        DestroyWindow(window_);
        Pump();
        char after[64];
        EXPECT_EQ(REG_SZ, ReadSetting("settsel", after, sizeof after));
        EXPECT_STREQ(c.selected, after);
    }
}

// The role page locks out the modem roles when it is shown, and the Network page's editor ends on
// Enter: each page hears of being hidden and shown, the shown one of Enter, and every page of a
// close, when it saves.
TEST_F(MainWindow, ThePagesHearOfSelectionEnterAndClose) {
    Create();
    g_received.clear();
    ASSERT_TRUE(SelectPage("Network"));
    Pump();
    EXPECT_EQ(pages_[6], GetSelectedPage(window_));
    EXPECT_FALSE(Shown(pages_[0]));
    EXPECT_FALSE(IsWindowEnabled(pages_[0]));
    EXPECT_TRUE(Shown(pages_[6]));
    EXPECT_EQ((Told{{pages_[0], 0}, {pages_[6], 1}}), TheyGot(CMD_PAGE_ACTIVATE));
    Send(window_, WM_COMMAND, IDOK);
    EXPECT_EQ((Told{{pages_[6], 0}}), TheyGot(IDOK));
    SendMessageA(window_, WM_COMMAND, CMD_SHOW, 0);
    Send(window_, WM_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(EveryPage(0), TheyGot(CMD_PAGE_SAVE));
}

// A ring blinks the tray icon. A call that is hung up on once its number is known stops what its
// first ring started.
TEST_F(MainWindow, ABlockedCallStopsTheBlinkingOfItsRing) {
    Create();
    for (bool blocked : {false, true}) {
        Send(window_, WM_COMMAND, CMD_RING);
        if (blocked) Send(window_, WM_COMMAND, CMD_CALL_BLOCKED);
        EXPECT_EQ(!blocked, KillTimer(window_, TIMER_BLINK) != FALSE) << "the blink timer ran, blocked " << blocked;
    }
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

// --- The role page.

TEST_F(MainWindow, TheRoleIsShownAtTheStartAndEveryPageTold) {
    struct Case {
        uint32_t stored;
        bool otherBroadcasterSeen;
        bool modem;
        bool broadcast;
        uint32_t role;
    } const cases[] = {
        {1, false, false, false, 1}, {2, false, true, false, 2}, {3, false, true, true, 3},
        {7, false, false, false, 1},  // a role this program does not know listens only
        // The network agent stepped down while the page's start was under way: the page must not
        // make this copy a broadcaster again from the role it showed at start.
        {3, true, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", other seen " << c.otherBroadcasterSeen);
        g_state.otherBroadcasterSeen = c.otherBroadcasterSeen ? 1 : 0;
        Create(c.stored);
        EXPECT_EQ(c.modem, Checked(IDC_ROLE_MODEM));
        EXPECT_EQ(c.broadcast, Checked(IDC_ROLE_BROADCAST));
        EXPECT_EQ(!c.modem, Checked(IDC_ROLE_NETWORK));
        EXPECT_EQ(c.modem, Enabled(IDC_ROLE_BROADCAST));
        EXPECT_EQ(c.role, g_state.role.load());
        EXPECT_EQ(EveryPage(c.role), TheyGot(CMD_ROLE_CHANGED));
        Send(rolePage_, WM_COMMAND, CMD_PAGE_SAVE);
        EXPECT_EQ(static_cast<int>(c.role), StoredRole());
        DestroyWindow(window_);
        Pump();
    }
}

// A click tells every page at once; the role is written at the next save, and once per change.
TEST_F(MainWindow, RoleClicksTellEveryPageAndAreSavedOnce) {
    Create(2);
    Send(rolePage_, WM_COMMAND, CMD_PAGE_SAVE);
    struct Step {
        int button;
        uint32_t role;
        bool written;
    } const steps[] = {
        {IDC_ROLE_BROADCAST, 3, true}, {IDC_ROLE_NETWORK, 1, true},
        {IDC_ROLE_MODEM, 3, true},  // broadcasting again, as chosen before the box was disabled
        {IDC_ROLE_BROADCAST, 2, true}, {IDC_ROLE_NETWORK, 1, true},
        {IDC_ROLE_NETWORK, 1, false},  // already chosen: the pages hear the same role again
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "button " << s.button << " for role " << s.role);
        WriteSetting("role", nullptr, 0, REG_DWORD);
        Send(GetDlgItem(rolePage_, s.button), BM_CLICK, 0);
        EXPECT_EQ(s.role, g_state.role.load());
        EXPECT_EQ(EveryPage(s.role), TheyGot(CMD_ROLE_CHANGED));
        EXPECT_EQ(s.role != 1, Enabled(IDC_ROLE_BROADCAST));
        EXPECT_EQ(-1, StoredRole()) << "a click alone writes nothing";
        Send(rolePage_, WM_COMMAND, CMD_PAGE_SAVE);
        EXPECT_EQ(s.written ? static_cast<int>(s.role) : -1, StoredRole());
    }
}

// Two broadcasters on one network would send every call twice: once another one was heard, the
// page makes this copy listen when it is shown, and keeps the modem roles out of reach.
TEST_F(MainWindow, AnotherBroadcasterLocksOutTheModemRoles) {
    Create(3);
    g_state.otherBroadcasterSeen = 1;
    Send(rolePage_, WM_COMMAND, CMD_PAGE_ACTIVATE, 0);  // hidden: nothing yet
    EXPECT_EQ(Told{}, TheyGot(CMD_ROLE_CHANGED));
    Send(rolePage_, WM_COMMAND, CMD_PAGE_ACTIVATE, 1);
    EXPECT_TRUE(Checked(IDC_ROLE_NETWORK));
    EXPECT_FALSE(Enabled(IDC_ROLE_MODEM));
    EXPECT_EQ(1u, g_state.role.load());
    EXPECT_EQ(EveryPage(1), TheyGot(CMD_ROLE_CHANGED));
}

HWND FindPopup() { return FindWindowA(kPopupClassName, nullptr); }

// F1 opens the help in the browser at the section of the window it was pressed in: any page (the
// ports' pages share the Modem section), a popup, the Crash Report dialog. The bench records the
// address instead of opening it; the page the browser gets has every such section.
TEST_F(MainWindow, F1OpensTheHelpAtTheSectionOfItsWindow) {
    Create();
    ASSERT_TRUE(CreatePopupResources());
    HELPINFO help{};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    auto onPage = [&](const char* item) {
        return [&, item] {
            SelectPage(item);
            help.hItemHandle = GetSelectedPage(window_);
            SendMessageA(GetSelectedPage(window_), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        };
    };
    const std::pair<std::function<void()>, const char*> presses[] = {
        {onPage("Caller Log"), "caller-log"}, {onPage("Modem"), "modem"}, {onPage("COM3"), "modem"},
        {onPage("Network"), "network"}, {onPage("Popup Window"), "popup-window"}, {onPage("Sounds"), "sounds"},
        {onPage("Phone Book"), "phone-book"}, {onPage("Blocked Numbers"), "blocked-numbers"},
        {onPage("Support"), "support"}, {onPage("Program Log"), "program-log"},
        {[&] {
             ShowPopup("%s", "Alice Example");
             ASSERT_TRUE(PumpUntil([] { return FindPopup() != nullptr; }, 5000));
             SendMessageA(FindPopup(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
             PostMessageA(FindPopup(), WM_CLOSE, 0, 0);
         }, "call-popups"},
        {[&] { CrashDialogProc(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)); }, "crash-report"},
    };
    const std::string helpFile = TempPath("tellwire-help.html");
    std::string address = "file:///" + helpFile;
    for (char& c : address) c = c == '\\' ? '/' : c;
    for (const auto& [press, section] : presses) {
        SCOPED_TRACE(section);
        DeleteFileA(kOpenedFile);
        press();
        ASSERT_TRUE(PumpUntil([] { return !OpenedByShell().empty(); }, 20000));
        EXPECT_EQ(std::vector<std::string>{address + "#" + section}, OpenedByShell());
        EXPECT_NE(std::string::npos, ReadFileText(helpFile).find(std::string("<h2 id=\"") + section + "\">"));
    }
    EXPECT_TRUE(PumpUntil([] { return OpenPopupCount() == 0; }, 5000));
    DeleteFileA(kOpenedFile);
}

}  // namespace
