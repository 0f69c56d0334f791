// The Network page: the owner-data view of the host list, "hosts" read and written, and the editor.
// The list's rules are the model's (tests/native); discovered hosts reach it in the end-to-end test.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"
#include "net/host_list_ids.h"
#include "net/host_list_page.h"
#include "tests/win/win_test.h"

namespace {

using Texts = std::vector<std::string>;

void StoreHosts(const std::string& text) {
    WriteSetting("hosts", text.c_str(), static_cast<DWORD>(text.size() + 1), REG_SZ);
}

class HostList : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        g_state.role = 3;
    }
    void Open() {
        page_ = CreateHostListPage(parent_);
        ASSERT_NE(nullptr, page_);
        Pump();
    }
    HWND List() const { return GetDlgItem(page_, IDC_HOST_LIST); }
    Texts Rows() const { return ListRows(List(), 3); }  // "host|timestamp|permanent"
    std::string Editor() const {
        char text[256] = "";
        GetDlgItemTextA(page_, IDC_HOST_EDIT, text, sizeof text);
        return text;
    }
    void Command(int id) {
        SendMessageA(page_, WM_COMMAND, id, 0);
        Pump();
    }
    HWND page_ = nullptr;
};

// Over 8190 bytes, as this program writes up to 16384: read again whole, or the list loaded empty is
// written back empty and the hosts lost. Newest first: the text comes back byte for byte.
TEST_F(HostList, ShowsTheStoredListAndWritesItAtClose) {
    std::string stored = "+pinned/2007-01-01 00:00:00;";
    int count = 0;
    for (; stored.size() < 12000; ++count) {
        char entry[256];
        wsprintfA(entry, "host-%03d.example.net.with.a.rather.long.name/2007-01-06 %02d:%02d:00;", count,
                  23 - count / 60, 59 - count % 60);
        stored += entry;
    }
    StoreHosts(stored);
    Open();
    Texts rows = Rows();
    ASSERT_EQ(static_cast<size_t>(count + 1), rows.size());
    EXPECT_EQ("pinned|2007-01-01 00:00:00|Yes", rows[0]);
    EXPECT_EQ("host-000.example.net.with.a.rather.long.name|2007-01-06 23:59:00|", rows[1]);
    DestroyWindow(page_);
    EXPECT_EQ(stored, StoredText("hosts"));
}

// Type-to-find selects a host for the editor; the selection follows its row when a change moves it.
TEST_F(HostList, TheEditorWritesToTheListAndTheSelectionFollows) {
    StoreHosts("a/2007-01-06 12:00:00;b/2007-01-05 12:00:00;c/2007-01-04 12:00:00;");
    Open();
    SendMessageA(List(), WM_CHAR, 'B', 1);
    Pump();
    EXPECT_EQ(1, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
    EXPECT_EQ("b", Editor());
    SetDlgItemTextA(page_, IDC_HOST_EDIT, " b 2\t");
    Command(IDC_HOST_CHANGE);
    EXPECT_EQ(0u, Rows()[0].find("b2|"));  // renewed: the newest first
    EXPECT_EQ(0, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
    EXPECT_EQ("b2", Editor());
    Command(IDC_HOST_DELETE);
    EXPECT_EQ(2u, Rows().size());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, IDC_HOST_EDIT)));
}

}  // namespace
