// The Network page with its real dialog and list, a hidden top-level window standing in for the
// main window. The list's rules are the model's (tests/native/host_list_model_test.cpp); here is
// what takes Win32: the owner-data view of the model, "hosts" read and written, the editor, and
// hosts the agent discovers from a thread of its own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/win/pump.h"

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "net/host_list_ids.h"
#include "net/host_list_page.h"
#include "net/shared_host_list.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";

struct Row {
    std::string host;
    std::string timestamp;
    std::string permanent;
    bool operator==(const Row& other) const {
        return host == other.host && timestamp == other.timestamp && permanent == other.permanent;
    }
};
using Rows = std::vector<Row>;
using Texts = std::vector<std::string>;

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "[" << row.host << "|" << row.timestamp << "|" << row.permanent << "]";
}

DWORD WINAPI AgentThread(void* sender) {
    AddDiscoveredHost(static_cast<const char*>(sender));
    return 0;
}

// A reply as the network agent takes it: on a thread of its own.
void DiscoverFromAgent(const char* sender) {
    HANDLE thread = CreateThread(nullptr, 0, AgentThread, const_cast<char*>(sender), 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitPumping(thread, 30000));
    CloseHandle(thread);
}

Texts Targets() {
    char block[kHostBlockSize];
    GetTargetHosts(block, sizeof block);
    Texts hosts;
    for (const char* host = block; *host != '\0'; host += lstrlenA(host) + 1) hosts.push_back(host);
    return hosts;
}

std::string StoredHosts() {
    std::vector<char> text(1 << 20, '\0');
    if (ReadSetting("hosts", text.data(), static_cast<DWORD>(text.size())) != REG_SZ) return "<missing>";
    return text.data();
}

void StoreHosts(const std::string& text) {
    ASSERT_EQ(0, WriteSetting("hosts", text.c_str(), static_cast<DWORD>(text.size() + 1), REG_SZ));
}

class HostList : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
    }
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_state.role = 3;
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = CreateWindowExA(0, "STATIC", "Tellwire", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                                  g_win.instance, nullptr);
        g_win.mainWindow = parent_;
    }
    void TearDown() override {
        DestroyWindow(parent_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
    void Open() {
        page_ = CreateHostListPage(parent_);
        ASSERT_NE(nullptr, page_);
        Pump();
    }
    void Close() {
        DestroyWindow(page_);
        page_ = nullptr;
        Pump();
    }
    HWND List() const { return GetDlgItem(page_, IDC_HOST_LIST); }
    std::string Cell(int row, int column) const {
        char text[1024] = "";
        ListView_GetItemText(List(), row, column, text, sizeof text);
        return text;
    }
    Rows Read() const {
        Rows rows;
        int count = ListView_GetItemCount(List());
        for (int row = 0; row < count; ++row) rows.push_back({Cell(row, 0), Cell(row, 1), Cell(row, 2)});
        return rows;
    }
    std::string Editor() const {
        char text[256] = "";
        GetDlgItemTextA(page_, IDC_HOST_EDIT, text, sizeof text);
        return text;
    }
    void Select(std::vector<int> rows) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row : rows) ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
        Pump();
    }
    void PressKey(WORD key) {
        SendMessageA(List(), WM_KEYDOWN, key, 0);
        SendMessageA(List(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(HostList, ShowsTheStoredListAndWritesItAtClose) {
    Open();
    Close();
    EXPECT_EQ("", StoredHosts());  // an empty list is written too

    // Over 8190 bytes, as this program itself writes up to 16384: read again whole. Newest
    // first, so the order stays as it is.
    std::string stored = "+pinned/2007-01-01 00:00:00;";
    int count = 0;
    while (stored.size() < 12000) {
        char entry[256];
        wsprintfA(entry, "host-%03d.example.net.with.a.rather.long.name/2007-01-06 %02d:%02d:00;", count,
                  23 - count / 60, 59 - count % 60);
        stored += entry;
        ++count;
    }
    StoreHosts(stored);
    Open();
    Rows rows = Read();
    ASSERT_EQ(static_cast<size_t>(count + 1), rows.size());
    EXPECT_EQ((Row{"pinned", "2007-01-01 00:00:00", "Yes"}), rows[0]);
    EXPECT_EQ((Row{"host-000.example.net.with.a.rather.long.name", "2007-01-06 23:59:00", ""}), rows[1]);
    Close();
    EXPECT_EQ(stored, StoredHosts());
}

TEST_F(HostList, HostsTheAgentDiscoversShowUp) {
    StoreHosts("box/2000-01-01 00:00:00;");
    Open();
    DiscoverFromAgent("BOX");
    DiscoverFromAgent("10.0.0.9");
    Rows rows = Read();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("box", rows[0].host);
    EXPECT_NE("2000-01-01 00:00:00", rows[0].timestamp);
    EXPECT_EQ("10.0.0.9", rows[1].host);
    EXPECT_EQ((Texts{"box", "10.0.0.9"}), Targets());
    Close();
    EXPECT_NE(std::string::npos, StoredHosts().find(";10.0.0.9/"));
    EXPECT_EQ((Texts{}), Targets());  // the list goes with the page
}

TEST_F(HostList, TheEditorWritesToTheList) {
    StoreHosts("a/2007-01-06 12:00:00;b/2007-01-05 12:00:00;c/2007-01-04 12:00:00;");
    Open();
    PressKey(VK_INSERT);
    ASSERT_EQ(4u, Read().size());
    EXPECT_EQ(GetDlgItem(page_, IDC_HOST_EDIT), GetFocus());
    SetDlgItemTextA(page_, IDC_HOST_EDIT, " new host\t");
    CheckDlgButton(page_, IDC_HOST_PERMANENT, BST_CHECKED);
    SendMessageA(page_, WM_COMMAND, IDOK, 0);  // Enter in the editor
    Pump();
    EXPECT_EQ("newhost", Read()[0].host);  // permanent: first

    // Typing a host's first letter in the list selects it, and the editor shows it.
    SendMessageA(List(), WM_CHAR, 'B', 1);
    Pump();
    EXPECT_EQ(2, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
    EXPECT_EQ("b", Editor());
    SetDlgItemTextA(page_, IDC_HOST_EDIT, "b2");
    SendMessageA(GetDlgItem(page_, IDC_HOST_CHANGE), BM_CLICK, 0, 0);
    Pump();
    // Renewed, the row moves up to the top of the others, and the selection with it.
    EXPECT_EQ("b2", Read()[1].host);
    EXPECT_EQ(1, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
    EXPECT_EQ("b2", Editor());

    Select({0, 1, 3});
    PressKey(VK_DELETE);
    Rows rows = Read();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("a", rows[0].host);
    EXPECT_FALSE(Enabled(IDC_HOST_EDIT));
}

TEST_F(HostList, RoleDecidesWhetherTheControlsWork) {
    StoreHosts("a/2007-01-06 12:00:00;");
    Open();
    static constexpr int kControls[] = {IDC_HOST_LIST, IDC_HOST_GROUP, IDC_HOST_EDIT, IDC_HOST_CHANGE,
                                        IDC_HOST_DELETE, IDC_HOST_NEW, IDC_HOST_PERMANENT};
    for (uint32_t role : {1u, 2u, 7u}) {
        g_state.role = role;
        SendMessageA(page_, WM_COMMAND, CMD_ROLE_CHANGED, role);
        Select({0});  // a selection does not bring the editor back
        for (int id : kControls) EXPECT_FALSE(Enabled(id)) << "role " << role << " control " << id;
    }
    g_state.role = 3;
    SendMessageA(page_, WM_COMMAND, CMD_ROLE_CHANGED, 3);
    Pump();
    for (int id : {IDC_HOST_LIST, IDC_HOST_NEW, IDC_HOST_EDIT, IDC_HOST_CHANGE, IDC_HOST_DELETE}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    Select({});
    EXPECT_FALSE(Enabled(IDC_HOST_EDIT));
    EXPECT_FALSE(Enabled(IDC_HOST_DELETE));
    EXPECT_TRUE(Enabled(IDC_HOST_NEW));
}

}  // namespace
