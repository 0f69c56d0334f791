// The role page inside the real main window, so that its role changes travel through the page
// tree to every page. Every page is watched through a subclass that records the role it is told.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/main_window.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "net/role_page_ids.h"
#include "res/resource_ids.h"
#include "ui/tree_view.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";

struct RoleTold {
    HWND page;
    LPARAM role;
};
std::vector<RoleTold> g_told;

LRESULT CALLBACK RecordingProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == CMD_ROLE_CHANGED) g_told.push_back({page, lParam});
    auto original = reinterpret_cast<WNDPROC>(GetPropA(page, "test.proc"));
    return CallWindowProcA(original, page, message, wParam, lParam);
}

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

void CollectPages(HWND tree, HTREEITEM item, std::vector<HWND>* pages) {
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        TVITEMA query{};
        query.mask = TVIF_PARAM;
        query.hItem = item;
        TreeView_GetItem(tree, &query);
        pages->push_back(reinterpret_cast<HWND>(query.lParam));
        CollectPages(tree, TreeView_GetChild(tree, item), pages);
    }
}

// -1 when "role" is not stored.
int StoredRole() { return static_cast<int>(ReadSettingDword("role", 0xFFFFFFFF)); }

class RolePage : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        g_told.clear();
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
    // The main window with its pages, started with the role as start-up reads it.
    void Create(uint32_t role) {
        g_state.role = role;
        window_ = CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_NE(nullptr, window_);
        g_win.mainWindow = window_;
        HWND tree = GetDlgItem(window_, IDC_PAGE_TREE);
        CollectPages(tree, TreeView_GetRoot(tree), &pages_);
        HTREEITEM modem = FindTreeItemByText(window_, IDC_PAGE_TREE, nullptr, "Modem");
        ASSERT_NE(nullptr, modem);
        page_ = GetTreeItemData(window_, IDC_PAGE_TREE, modem);
        ASSERT_NE(nullptr, page_);
        for (HWND page : pages_) {
            SetPropA(page, "test.proc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(page, GWLP_WNDPROC)));
            SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
        }
        Pump();  // the page's own start runs the chain once
    }
    bool Checked(int id) const { return IsDlgButtonChecked(page_, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    // A click as the button itself reports it: its state changes, then it tells the page.
    void Click(int id) {
        g_told.clear();
        SendMessageA(GetDlgItem(page_, id), BM_CLICK, 0, 0);
        Pump();
    }
    void Save() {
        SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
        Pump();
    }
    void ExpectEveryPageTold(uint32_t role, int line) {
        SCOPED_TRACE(testing::Message() << "from line " << line);
        EXPECT_EQ(role, g_state.role.load());
        ASSERT_EQ(pages_.size(), g_told.size());
        for (size_t i = 0; i < pages_.size(); ++i) {
            EXPECT_EQ(pages_[i], g_told[i].page) << i;
            EXPECT_EQ(static_cast<LPARAM>(role), g_told[i].role) << i;
        }
    }
    HWND window_ = nullptr;
    HWND page_ = nullptr;
    std::vector<HWND> pages_;
};

TEST_F(RolePage, StartShowsTheRoleAndTellsEveryPage) {
    struct Case {
        uint32_t stored;
        bool modem;
        bool broadcast;
        bool network;
        uint32_t role;
    } const cases[] = {
        {1, false, false, true, 1}, {2, true, false, false, 2}, {3, true, true, false, 3},
        {7, false, false, true, 1},  // a role this program does not know listens only
        {0, false, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored);
        pages_.clear();
        g_told.clear();
        Create(c.stored);
        EXPECT_EQ(c.modem, Checked(IDC_ROLE_MODEM));
        EXPECT_EQ(c.broadcast, Checked(IDC_ROLE_BROADCAST));
        EXPECT_EQ(c.network, Checked(IDC_ROLE_NETWORK));
        EXPECT_EQ(c.modem, Enabled(IDC_ROLE_BROADCAST));
        EXPECT_EQ(12u, pages_.size());
        ExpectEveryPageTold(c.role, __LINE__);
        Save();
        EXPECT_EQ(static_cast<int>(c.role), StoredRole());
        DestroyWindow(window_);
        Pump();
    }
}

TEST_F(RolePage, ClicksChangeTheRoleOnEveryPage) {
    Create(2);
    Click(IDC_ROLE_BROADCAST);
    ExpectEveryPageTold(3, __LINE__);
    Click(IDC_ROLE_NETWORK);
    ExpectEveryPageTold(1, __LINE__);
    EXPECT_FALSE(Enabled(IDC_ROLE_BROADCAST));
    EXPECT_TRUE(Checked(IDC_ROLE_BROADCAST));  // kept while disabled
    Click(IDC_ROLE_MODEM);
    ExpectEveryPageTold(3, __LINE__);  // broadcasting again, as chosen before
    Click(IDC_ROLE_BROADCAST);
    ExpectEveryPageTold(2, __LINE__);
    Click(IDC_ROLE_NETWORK);
    Click(IDC_ROLE_NETWORK);  // already chosen: the pages hear the same role again
    ExpectEveryPageTold(1, __LINE__);
}

TEST_F(RolePage, RoleIsSavedOncePerChange) {
    Create(2);
    Save();
    EXPECT_EQ(2, StoredRole());
    WriteSetting("role", nullptr, 0, REG_DWORD);
    Save();  // nothing changed: nothing written
    EXPECT_EQ(-1, StoredRole());
    Click(IDC_ROLE_BROADCAST);
    EXPECT_EQ(-1, StoredRole());  // a click alone writes nothing
    Save();
    EXPECT_EQ(3, StoredRole());
    WriteSetting("role", nullptr, 0, REG_DWORD);
    Save();
    EXPECT_EQ(-1, StoredRole());
}

TEST_F(RolePage, AnotherBroadcasterLocksOutTheModemRoles) {
    Create(3);
    g_state.otherBroadcasterSeen = 1;
    g_told.clear();
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_ACTIVATE, 0);  // hidden: nothing yet
    Pump();
    EXPECT_TRUE(Enabled(IDC_ROLE_MODEM));
    EXPECT_EQ(3u, g_state.role.load());
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_ACTIVATE, 1);
    Pump();
    EXPECT_FALSE(Checked(IDC_ROLE_MODEM));
    EXPECT_TRUE(Checked(IDC_ROLE_NETWORK));
    EXPECT_FALSE(Enabled(IDC_ROLE_MODEM));
    ExpectEveryPageTold(1, __LINE__);
    // Shown again while listening: nothing changes, the modem stays out of reach.
    g_told.clear();
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_ACTIVATE, 1);
    Pump();
    EXPECT_TRUE(g_told.empty());
    EXPECT_FALSE(Enabled(IDC_ROLE_MODEM));
}

// The network agent stepped down (role 1) while the page's start was still under way: the page
// must not make this copy a broadcaster again from the role it showed at start.
TEST_F(RolePage, AStepDownDuringTheStartStands) {
    g_state.otherBroadcasterSeen = 1;  // heard before the page's own start has run
    Create(3);
    EXPECT_EQ(1u, g_state.role.load());
    EXPECT_TRUE(Checked(IDC_ROLE_NETWORK));
    Save();
    DWORD saved = 0;
    EXPECT_EQ(REG_DWORD, ReadSetting("role", &saved, sizeof saved));
    EXPECT_EQ(1u, saved);
}

TEST_F(RolePage, WithoutAnotherBroadcasterShowingChangesNothing) {
    Create(3);
    g_told.clear();
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_ACTIVATE, 1);
    Pump();
    EXPECT_TRUE(Checked(IDC_ROLE_MODEM));
    EXPECT_TRUE(Enabled(IDC_ROLE_MODEM));
    EXPECT_TRUE(g_told.empty());
    EXPECT_EQ(3u, g_state.role.load());
}

}  // namespace
