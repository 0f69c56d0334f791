// The Network page with its real dialog and list, a hidden top-level window standing in for the
// main window. The network agent's calls come from a thread of their own, as in the program.
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

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "[" << row.host << "|" << row.timestamp << "|" << row.permanent << "]";
}

struct AgentCall {
    const char* sender;  // nullptr: ask for the targets instead
    int added = -1;
    std::vector<std::string> targets;
    bool gotBlock = false;
};

DWORD WINAPI AgentThread(void* parameter) {
    auto* call = static_cast<AgentCall*>(parameter);
    if (call->sender != nullptr) {
        call->added = AddDiscoveredHost(call->sender);
        return 0;
    }
    char* block = GetTargetHosts();
    call->gotBlock = block != nullptr;
    if (block == nullptr) return 0;
    EXPECT_EQ(LocalSize(block), 16384u);
    for (const char* host = block; *host != '\0'; host += lstrlenA(host) + 1) call->targets.push_back(host);
    LocalFree(block);
    return 0;
}

// A call made the way the network agent makes it: from another thread.
AgentCall CallFromAgent(const char* sender) {
    AgentCall call;
    call.sender = sender;
    HANDLE thread = CreateThread(nullptr, 0, AgentThread, &call, 0, nullptr);
    EXPECT_NE(nullptr, thread);
    if (thread != nullptr) {
        EXPECT_TRUE(WaitPumping(thread, 30000));
        CloseHandle(thread);
    }
    return call;
}

std::string StoredHosts() {
    std::vector<char> text(1 << 20, '\0');
    if (ReadSetting("hosts", text.data(), static_cast<DWORD>(text.size())) != REG_SZ) return "<missing>";
    return text.data();
}

void StoreHosts(const std::string& text) {
    ASSERT_EQ(0, WriteSetting("hosts", text.c_str(), static_cast<DWORD>(text.size() + 1), REG_SZ));
}

std::string Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[64];
    wsprintfA(text, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    return text;
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
    void AddRow(const char* host, const char* timestamp, const char* permanent) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(List());
        item.pszText = const_cast<char*>(host);
        int row = ListView_InsertItem(List(), &item);
        ListView_SetItemText(List(), row, 1, const_cast<char*>(timestamp));
        ListView_SetItemText(List(), row, 2, const_cast<char*>(permanent));
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(HostList, DiscoveredHostsAreAddedAndRenewed) {
    Open();
    AgentCall call = CallFromAgent("192.168.1.20");
    EXPECT_EQ(1, call.added);
    Rows rows = Read();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("192.168.1.20", rows[0].host);
    EXPECT_EQ(19u, rows[0].timestamp.size());
    EXPECT_EQ("", rows[0].permanent);

    // A permanent host under a name, old: a reply renews only its time stamp, found without
    // regard to case, and neither moves it nor changes its mark.
    ListView_SetItemText(List(), 0, 1, const_cast<char*>("2000-01-01 00:00:00"));
    AddRow("Box", "2000-01-01 00:00:00", "Yes");
    EXPECT_EQ(1, CallFromAgent("BOX").added);
    EXPECT_EQ(1, CallFromAgent("192.168.1.20").added);
    rows = Read();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("192.168.1.20", rows[0].host);
    EXPECT_NE("2000-01-01 00:00:00", rows[0].timestamp);
    EXPECT_EQ("Box", rows[1].host);
    EXPECT_NE("2000-01-01 00:00:00", rows[1].timestamp);
    EXPECT_EQ("Yes", rows[1].permanent);

    // A new sender goes to the end, unsorted.
    EXPECT_EQ(1, CallFromAgent("10.0.0.9").added);
    rows = Read();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("10.0.0.9", rows[2].host);

    Close();
    EXPECT_EQ(0, CallFromAgent("10.0.0.10").added);
    AgentCall targets = CallFromAgent(nullptr);
    EXPECT_TRUE(targets.gotBlock);
    EXPECT_TRUE(targets.targets.empty());
}

TEST_F(HostList, TargetsArePermanentAndFreshHosts) {
    std::string now = Now();
    StoreHosts("+pinned/2000-01-01 00:00:00;stale/2000-01-01 00:00:00;fresh/" + now +
               ";future/2999-01-01 00:00:00;+;bad/2007-13-01 00:00:00;+named/not a time;");
    Open();
    Rows rows = Read();
    ASSERT_EQ(7u, rows.size());
    AgentCall call = CallFromAgent(nullptr);
    ASSERT_TRUE(call.gotBlock);
    std::vector<std::string> hosts;
    for (const Row& row : rows) {
        if (row.host == "pinned" || row.host == "fresh" || row.host == "named") hosts.push_back(row.host);
    }
    EXPECT_EQ(hosts, call.targets);  // in list order
}

TEST_F(HostList, LoadedSortedAndSavedAtTheEnd) {
    StoreHosts("a;b/2007-01-06 12:00:00;+;+c/2007-01-01 00:00:00;d/2007-01-07 00:00:00;");
    std::string before = Now();
    Open();
    std::string after = Now();
    Rows rows = Read();
    ASSERT_EQ(5u, rows.size());
    // Permanent first, then newest first; "a" counts as entered at the load.
    // "+" alone is a permanent row without a host, entered at the load like "a".
    EXPECT_EQ((Row{"", rows[2].timestamp, "Yes"}), rows[0]);
    EXPECT_EQ((Row{"c", "2007-01-01 00:00:00", "Yes"}), rows[1]);
    EXPECT_EQ("a", rows[2].host);
    EXPECT_EQ("", rows[2].permanent);
    EXPECT_GE(rows[2].timestamp, before);
    EXPECT_LE(rows[2].timestamp, after);
    EXPECT_EQ((Row{"d", "2007-01-07 00:00:00", ""}), rows[3]);
    EXPECT_EQ((Row{"b", "2007-01-06 12:00:00", ""}), rows[4]);
    Close();
    // The empty permanent row is not written back.
    std::string stored = "+c/2007-01-01 00:00:00;a/" + rows[2].timestamp + ";d/2007-01-07 00:00:00;b/2007-01-06 12:00:00;";
    EXPECT_EQ(stored, StoredHosts());
    Open();
    EXPECT_EQ((Rows{{"c", "2007-01-01 00:00:00", "Yes"}, rows[2], rows[3], rows[4]}), Read());
    Close();
    EXPECT_EQ(stored, StoredHosts());
}

TEST_F(HostList, EmptyListIsStoredEmpty) {
    Open();
    Close();
    EXPECT_EQ("", StoredHosts());
}

TEST_F(HostList, LongStoredValueLoadsWhole) {
    // Over 8190 bytes, as this program itself writes up to 16384: newest first, so the sort
    // keeps the order.
    std::string stored;
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
    EXPECT_EQ(static_cast<size_t>(count), Read().size());
    Close();
    EXPECT_EQ(stored, StoredHosts());
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

TEST_F(HostList, EditInsertAndDelete) {
    StoreHosts("a/2007-01-06 12:00:00;b/2007-01-05 12:00:00;c/2007-01-04 12:00:00;");
    Open();
    PressKey(VK_INSERT);
    ASSERT_EQ(4u, Read().size());
    EXPECT_EQ(GetDlgItem(page_, IDC_HOST_EDIT), GetFocus());
    SetDlgItemTextA(page_, IDC_HOST_EDIT, " new host\t");
    CheckDlgButton(page_, IDC_HOST_PERMANENT, BST_CHECKED);
    SendMessageA(page_, WM_COMMAND, IDOK, 0);  // Enter in the editor
    Pump();
    Rows rows = Read();
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ("newhost", rows[0].host);  // permanent: first
    EXPECT_EQ("Yes", rows[0].permanent);
    // Change on "b": the editor shows it, and the edit renews its stamp.
    Select({2});
    char shown[64];
    GetDlgItemTextA(page_, IDC_HOST_EDIT, shown, sizeof shown);
    EXPECT_STREQ("b", shown);
    SetDlgItemTextA(page_, IDC_HOST_EDIT, "b2");
    SendMessageA(GetDlgItem(page_, IDC_HOST_CHANGE), BM_CLICK, 0, 0);
    Pump();
    rows = Read();
    EXPECT_EQ("b2", rows[1].host);  // newest of the others now
    EXPECT_EQ("", rows[1].permanent);
    Select({});
    PressKey(VK_DELETE);
    EXPECT_EQ(4u, Read().size());
    Select({0, 1, 3});
    PressKey(VK_DELETE);
    rows = Read();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("a", rows[0].host);
}

}  // namespace
