// The dialog control helpers against real controls: a hidden page with a combo box, a list box,
// a report-style list view and a tree view, made fresh for every test.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "ui/choice_list.h"
#include "ui/column_width.h"
#include "ui/enable_controls.h"
#include "ui/list_view.h"
#include "ui/tree_view.h"

namespace {

enum ControlId { kCombo = 101, kListBox = 102, kList = 103, kTree = 104, kEdit = 105, kComboEx = 106, kMissing = 999 };

const char kPageClass[] = "TellwireTestPage";
constexpr int kListWidth = 404;  // client width, the list view has no border
constexpr int kListHeight = 120;

// Every LVM_ message the list view receives while switched on, in order.
struct ListMessages {
    bool on = false;
    std::vector<UINT> received;
};

LRESULT CALLBACK RecordListMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* record = reinterpret_cast<ListMessages*>(data);
    if (record->on && message >= LVM_FIRST && message < LVM_FIRST + 0x100) record->received.push_back(message);
    return DefSubclassProc(window, message, wParam, lParam);
}

class DialogControls : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&init);
        WNDCLASSA pageClass = {};
        pageClass.lpfnWndProc = DefWindowProcA;
        pageClass.hInstance = GetModuleHandleA(nullptr);
        pageClass.lpszClassName = kPageClass;
        RegisterClassA(&pageClass);
    }

    void SetUp() override {
        page_ = CreateWindowExA(0, kPageClass, "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, page_);
        Add("COMBOBOX", kCombo, CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 150, 200);
        Add("LISTBOX", kListBox, LBS_NOTIFY | WS_VSCROLL, 160, 0, 150, 200);
        Add(WC_LISTVIEWA, kList, LVS_REPORT | LVS_SHOWSELALWAYS, 0, 210, kListWidth, kListHeight);
        Add(WC_TREEVIEWA, kTree, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 420, 210, 150, 200);
        Add("EDIT", kEdit, ES_AUTOHSCROLL, 320, 0, 100, 20);
        ASSERT_TRUE(SetWindowSubclass(GetDlgItem(page_, kList), RecordListMessages, 1,
                                      reinterpret_cast<DWORD_PTR>(&listMessages_)));
    }

    void TearDown() override {
        RemoveWindowSubclass(GetDlgItem(page_, kList), RecordListMessages, 1);
        DestroyWindow(page_);
    }

    HWND Add(const char* className, int id, DWORD style, int x, int y, int width, int height) {
        HWND control = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, page_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_NE(nullptr, control) << className;
        return control;
    }

    // --- Reading the controls directly, bypassing the helpers under test.

    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendDlgItemMessageA(page_, id, message, wParam, lParam);
    }

    int ChoiceCount(int id) { return static_cast<int>(Send(id, id == kCombo ? CB_GETCOUNT : LB_GETCOUNT)); }
    int ChoiceSelection(int id) { return static_cast<int>(Send(id, id == kCombo ? CB_GETCURSEL : LB_GETCURSEL)); }
    std::string ChoiceText(int id, int index) {
        char text[256] = "";
        Send(id, id == kCombo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::vector<std::string> ChoiceTexts(int id) {
        std::vector<std::string> texts;
        for (int index = 0; index < ChoiceCount(id); ++index) texts.push_back(ChoiceText(id, index));
        return texts;
    }

    int RowCount() { return static_cast<int>(Send(kList, LVM_GETITEMCOUNT)); }
    std::string Cell(int row, int column) {
        char text[1024] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        Send(kList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::vector<std::string> FirstCells() {
        std::vector<std::string> cells;
        for (int row = 0; row < RowCount(); ++row) cells.push_back(Cell(row, 0));
        return cells;
    }
    LPARAM RowData(int row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        Send(kList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }
    UINT RowState(int row) {
        return static_cast<UINT>(Send(kList, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
    }
    void MarkRowSelected(int row) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        Send(kList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    std::vector<int> SelectedRows() {
        std::vector<int> rows;
        for (int row = 0; row < RowCount(); ++row) {
            if (RowState(row) & LVIS_SELECTED) rows.push_back(row);
        }
        return rows;
    }
    void AddColumns(int count) {
        for (int column = 0; column < count; ++column) {
            LVCOLUMNA descriptor = {};
            descriptor.mask = LVCF_WIDTH;
            descriptor.cx = 60;
            Send(kList, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&descriptor));
        }
    }

    HWND page_ = nullptr;
    ListMessages listMessages_;
};

// --- Choice lists: every case runs on the combo box and on the list box.

const int kChoiceLists[] = {kCombo, kListBox};
const char* KindOf(int id) { return id == kCombo ? "combo box" : "list box"; }

TEST_F(DialogControls, ComboBoxesAreKnownByTheirWholeClassName) {
    Add(WC_COMBOBOXEXA, kComboEx, CBS_DROPDOWNLIST, 0, 400, 150, 200);
    EXPECT_TRUE(IsComboBox(page_, kCombo));
    EXPECT_FALSE(IsComboBox(page_, kListBox));
    EXPECT_FALSE(IsComboBox(page_, kComboEx));  // "ComboBoxEx32" begins like a combo box
    EXPECT_FALSE(IsComboBox(page_, kMissing));
}

TEST_F(DialogControls, NumbersAreTheirOwnTextAndItemData) {
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        EXPECT_EQ(0, AddChoiceNumber(page_, id, 115200));
        EXPECT_EQ(1, AddChoiceNumber(page_, id, 0));
        EXPECT_EQ(2, AddChoiceNumber(page_, id, 4294967295u));
        EXPECT_EQ((std::vector<std::string>{"115200", "0", "4294967295"}), ChoiceTexts(id));
        EXPECT_EQ(115200, GetChoiceData(page_, id, 0));
        EXPECT_EQ(0, GetChoiceData(page_, id, 1));
        EXPECT_EQ(static_cast<LPARAM>(4294967295u), GetChoiceData(page_, id, 2));  // not cut to -1
    }
}

TEST_F(DialogControls, ChoicesWithoutATextAreRefused) {
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        EXPECT_GT(0, AddChoice(page_, id, nullptr, 5));
        EXPECT_GT(0, AddChoicePair(page_, id, TextPair{nullptr, 5}));
        EXPECT_EQ(0, ChoiceCount(id));
    }
}

TEST_F(DialogControls, SelectingByDataOrText) {
    const TextPair sounds[] = {{"None", 0}, {"Chimes", 1}, {"Ring", 2}, {"Ring twice", 3}, {"Chimes", 4}};
    struct Selection {
        const char* text;  // nullptr: select by data
        LPARAM data;
        int index;  // -1: nothing selected afterwards
    };
    const Selection selections[] = {
        {nullptr, 2, 2},
        {nullptr, 2400, -1},   // not in the list: the earlier selection goes too
        {nullptr, 3, 3},
        {"ring", 0, 2},        // case does not matter...
        {"Ring tw", 0, -1},    // ...but the whole text does
        {"Chimes", 0, 1},      // the first of equal texts
        {"Fax", 0, -1},
        {"", 0, -1},
    };
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        for (const TextPair& sound : sounds) AddChoicePair(page_, id, sound);
        for (const Selection& s : selections) {
            SCOPED_TRACE(s.text != nullptr ? s.text : std::to_string(s.data));
            SelectChoice(page_, id, 0);
            if (s.text != nullptr) {
                SelectChoiceByText(page_, id, s.text);
            } else {
                SelectChoiceByData(page_, id, s.data);
            }
            EXPECT_EQ(s.index, ChoiceSelection(id));
            EXPECT_EQ(s.index < 0 ? -1 : sounds[s.index].data, GetSelectedChoiceData(page_, id));
        }
        SelectChoice(page_, id, 1);
        SelectChoiceByText(page_, id, nullptr);
        EXPECT_EQ(-1, ChoiceSelection(id));
    }
}

TEST_F(DialogControls, NoSelectionReadsAsMinusOne) {
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        EXPECT_EQ(-1, GetSelectedChoiceData(page_, id));  // empty
        AddChoice(page_, id, "9600", 9600);
        EXPECT_EQ(-1, GetSelectedChoiceData(page_, id));  // entries, none selected
        SelectChoice(page_, id, 0);
        EXPECT_EQ(9600, GetSelectedChoiceData(page_, id));
    }
}

TEST_F(DialogControls, ItemDataByIndexAndIndexByItemData) {
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        EXPECT_EQ(-1, FindChoiceByData(page_, id, 0));  // empty list
        EXPECT_EQ(-1, GetChoiceData(page_, id, 0));
        AddChoice(page_, id, "COM1", 1);
        AddChoice(page_, id, "COM2", 2);
        AddChoice(page_, id, "COM2 again", 2);
        EXPECT_EQ(1, FindChoiceByData(page_, id, 2));  // the first from the top
        EXPECT_EQ(-1, FindChoiceByData(page_, id, 3));
        EXPECT_EQ(1, GetChoiceData(page_, id, 0));
        EXPECT_EQ(2, GetChoiceData(page_, id, 2));
        EXPECT_EQ(-1, GetChoiceData(page_, id, 3));
        EXPECT_EQ(-1, GetChoiceData(page_, id, -1));
    }
}

TEST_F(DialogControls, DeletingTheSelectedChoice) {
    for (int id : kChoiceLists) {
        SCOPED_TRACE(KindOf(id));
        for (const char* host : {"10.0.0.1", "10.0.0.2", "10.0.0.3"}) AddChoice(page_, id, host, 0);
        EXPECT_EQ(-1, DeleteSelectedChoice(page_, id));  // nothing selected, nothing deleted
        EXPECT_EQ(3, ChoiceCount(id));
        SelectChoice(page_, id, 1);
        EXPECT_EQ(2, DeleteSelectedChoice(page_, id));
        EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "10.0.0.3"}), ChoiceTexts(id));
    }
}

TEST_F(DialogControls, ChoiceTextsAreOneBlockEndedByAnEmptyText) {
    struct Layout {
        std::vector<const char*> entries;
        std::string block;  // with the zero bytes behind the texts
    };
    const Layout layouts[] = {
        {{}, std::string(4, '\0')},
        {{"COM1"}, std::string("COM1\0" "\0\0\0\0", 9)},
        {{"(###) ###-####", "###-####", "1 (###) ###-####"},
         std::string("(###) ###-####\0###-####\0" "1 (###) ###-####\0" "\0\0\0\0", 45)},
    };
    for (int id : kChoiceLists) {
        for (const Layout& layout : layouts) {
            SCOPED_TRACE(std::string(KindOf(id)) + " with " + std::to_string(layout.entries.size()) + " entries");
            Send(id, id == kCombo ? CB_RESETCONTENT : LB_RESETCONTENT);
            for (const char* entry : layout.entries) AddChoice(page_, id, entry, 0);
            char* block = GetChoiceTexts(page_, id);
            ASSERT_NE(nullptr, block);
            ASSERT_GE(LocalSize(block), layout.block.size());
            EXPECT_EQ(layout.block, std::string(block, layout.block.size()));
            LocalFree(block);
        }
    }
    char* none = GetChoiceTexts(page_, kMissing);  // a missing control has no entries
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(std::string(4, '\0'), std::string(none, 4));
    LocalFree(none);
}

// --- List views.

TEST_F(DialogControls, ColumnsShareTheWidthBesideTheScrollBar) {
    RECT client;
    GetClientRect(GetDlgItem(page_, kList), &client);
    ASSERT_EQ(kListWidth, client.right);
    EXPECT_EQ(0, AddListColumn(page_, kList, 0, 40, IDS_ERROR));
    EXPECT_EQ(1, AddListColumn(page_, kList, 1, 25, IDS_TWO_SERVERS));
    EXPECT_EQ(0, AddListColumn(page_, kList, 0, 35, 0xFFFF));  // no such string: no title, put first

    // 404 - 16 - 2 = 386 pixels to share beside a 16-pixel scroll bar (Windows), 385 beside a
    // 17-pixel one (Wine): 154 and 96 for 40 and 25 percent either way, 135 or 134 for 35.
    int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    int expected[] = {scrollBar == 16 ? 135 : 134, 154, 96};
    if (scrollBar != 16 && scrollBar != 17) {
        for (int column = 0; column < 3; ++column) {
            expected[column] = ListColumnWidth(kListWidth, scrollBar, column == 0 ? 35 : column == 1 ? 40 : 25);
        }
        std::printf("note: scroll bars here are %d pixels wide\n", scrollBar);
    }
    const char* titles[] = {"", "Error", "More than one server is not allowed!"};
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        char title[64] = "junk";
        LVCOLUMNA descriptor = {};
        descriptor.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
        descriptor.pszText = title;
        descriptor.cchTextMax = sizeof title;
        ASSERT_TRUE(Send(kList, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&descriptor)));
        EXPECT_EQ(expected[column], descriptor.cx);
        EXPECT_STREQ(titles[column], title);
        EXPECT_EQ(LVCFMT_LEFT, descriptor.fmt & LVCFMT_JUSTIFYMASK);
    }
}

TEST_F(DialogControls, RowsAreAppendedWithTheirCellsAndItemData) {
    AddColumns(3);
    EXPECT_EQ(0, AddListRow(page_, kList, 7, "12:01", "555-0100", "Smith", nullptr));
    EXPECT_EQ(1, AddListRow(page_, kList, 8, "12:02", nullptr));
    EXPECT_EQ(2, AddListRow(page_, kList, 9, "12:03", "", "Jones", "beyond the last column", nullptr));
    EXPECT_EQ(-1, AddListRow(page_, kList, 10, nullptr));
    ASSERT_EQ(3, RowCount());

    const char* cells[3][3] = {{"12:01", "555-0100", "Smith"}, {"12:02", "", ""}, {"12:03", "", "Jones"}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(7 + row, RowData(row)) << "row " << row;
        for (int column = 0; column < 3; ++column) {
            char text[64] = "junk";
            EXPECT_TRUE(GetListCell(page_, kList, row, column, text, sizeof text));
            EXPECT_STREQ(cells[row][column], text) << "row " << row << ", column " << column;
        }
    }
    EXPECT_TRUE(SetListRowData(page_, kList, 1, 0x7FFFFFFF));
    EXPECT_EQ(0x7FFFFFFF, RowData(1));
    EXPECT_EQ("Smith", Cell(0, 2));  // the data alone changed
}

TEST_F(DialogControls, CellsAreReadCutToTheBuffer) {
    AddColumns(1);
    AddListRow(page_, kList, 0, "555-0100", nullptr);
    char text[5] = "junk";
    EXPECT_TRUE(GetListCell(page_, kList, 0, 0, text, sizeof text));
    EXPECT_STREQ("555-", text);
    strcpy(text, "junk");
    EXPECT_FALSE(GetListCell(page_, kList, 1, 0, text, sizeof text));  // no such row
    EXPECT_STREQ("", text);
    EXPECT_FALSE(GetListCell(page_, kList, 0, 0, text, 0));
    EXPECT_FALSE(GetListCell(page_, kList, 0, 0, nullptr, 8));
}

TEST_F(DialogControls, CellsAreWrittenOnlyWhenTheirTextChanges) {
    const std::string longText(600, 'x');
    struct Write {
        std::string before;
        std::string after;
        bool written;
    };
    const Write writes[] = {
        {"Smith", "Smith", false},
        {"Smith", "smith", true},  // case counts
        {"Smith", "Smyth", true},
        {"", "", false},
        {"", "Smith", true},
        {"Smith", "", true},
        {longText, longText.substr(0, 511), true},  // equal only as far as a 512-byte read goes
    };
    AddColumns(2);
    AddListRow(page_, kList, 0, "", "", nullptr);
    for (int column = 0; column < 2; ++column) {
        for (const Write& w : writes) {
            SCOPED_TRACE("column " + std::to_string(column) + ": \"" + w.before.substr(0, 20) + "\" to \"" +
                         w.after.substr(0, 20) + "\"");
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = const_cast<char*>(w.before.c_str());
            Send(kList, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));

            listMessages_.received.clear();
            listMessages_.on = true;
            int result = SetListCell(page_, kList, 0, column, w.after.c_str());
            listMessages_.on = false;

            std::vector<UINT> expected = {LVM_GETITEMA};
            if (w.written) expected.push_back(LVM_SETITEMA);
            if (w.after.size() >= 511) expected = {LVM_SETITEMA};  // too long to compare at all
            EXPECT_EQ(expected, listMessages_.received);
            EXPECT_NE(0, result);
            EXPECT_EQ(w.after, Cell(0, column));
        }
    }
    EXPECT_EQ(0, SetListCell(page_, kList, 0, 0, nullptr));
}

TEST_F(DialogControls, SelectingARowMakesItTheOnlySelectedAndFocusedOne) {
    AddColumns(1);
    for (int row = 0; row < 40; ++row) AddListRow(page_, kList, row, std::to_string(row).c_str(), nullptr);
    MarkRowSelected(1);
    MarkRowSelected(3);
    EXPECT_EQ(1, GetNextSelectedRow(page_, kList, -1));
    EXPECT_EQ(3, GetNextSelectedRow(page_, kList, 1));
    EXPECT_EQ(-1, GetNextSelectedRow(page_, kList, 3));

    EXPECT_TRUE(SelectListRow(page_, kList, 35));
    EXPECT_EQ(std::vector<int>{35}, SelectedRows());
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), RowState(35));
    // Scrolled down far enough for the whole row to show.
    RECT client;
    RECT row;
    GetClientRect(GetDlgItem(page_, kList), &client);
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(Send(kList, LVM_GETITEMRECT, 35, reinterpret_cast<LPARAM>(&row)));
    EXPECT_GT(Send(kList, LVM_GETTOPINDEX), 0);
    EXPECT_GE(row.top, 0);
    EXPECT_LE(row.bottom, client.bottom);

    EXPECT_FALSE(SelectListRow(page_, kList, -1));  // clears, and never selects every row
    EXPECT_EQ(std::vector<int>{}, SelectedRows());
}

TEST_F(DialogControls, AnEmptyRowIsReusedBeforeOneIsAdded) {
    AddColumns(3);
    AddListRow(page_, kList, 0, "Smith", "555-0100", nullptr);
    EXPECT_EQ(1, AddEmptyListRow(page_, kList, false));  // none empty yet: appended
    ASSERT_EQ(2, RowCount());
    EXPECT_EQ(std::vector<int>{}, SelectedRows());

    EXPECT_EQ(1, AddEmptyListRow(page_, kList, true));  // left unfilled: the same row again
    EXPECT_EQ(2, RowCount());
    EXPECT_EQ(std::vector<int>{1}, SelectedRows());

    SetListCell(page_, kList, 1, 2, "note");  // text in a later column fills the row too
    EXPECT_EQ(2, AddEmptyListRow(page_, kList, true));
    EXPECT_EQ(3, RowCount());
    EXPECT_EQ(std::vector<int>{2}, SelectedRows());

    SetListCell(page_, kList, 0, 0, "");  // emptied rows count, the first from the top
    SetListCell(page_, kList, 0, 1, "");
    EXPECT_EQ(0, AddEmptyListRow(page_, kList, false));
    EXPECT_EQ(3, RowCount());
}

TEST_F(DialogControls, DeletingTheSelectedRows) {
    AddColumns(1);
    for (const char* name : {"row 0", "row 1", "row 2", "row 3", "row 4"}) AddListRow(page_, kList, 0, name, nullptr);
    EXPECT_EQ(0, DeleteSelectedRows(page_, kList));
    EXPECT_EQ(5, RowCount());
    for (int row : {1, 3, 4}) MarkRowSelected(row);
    EXPECT_EQ(3, DeleteSelectedRows(page_, kList));
    EXPECT_EQ((std::vector<std::string>{"row 0", "row 2"}), FirstCells());
}

// Worker threads change the pages' lists through the helpers while the page's own thread goes on
// with its message loop.
TEST_F(DialogControls, ListsCanBeChangedFromAnotherThread) {
    AddColumns(2);
    struct Work {
        HWND page;
        int added;
        char cell[32];
    } work = {page_, -1, ""};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto* w = static_cast<Work*>(parameter);
            w->added = AddListRow(w->page, kList, 42, "555-0199", "Jones", nullptr);
            SetListCell(w->page, kList, w->added, 1, "Jones Ltd");
            GetListCell(w->page, kList, w->added, 1, w->cell, sizeof w->cell);
            return 0;
        },
        &work, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    DWORD started = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1 &&
           GetTickCount() - started < 5000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    CloseHandle(thread);
    EXPECT_EQ(0, work.added);
    EXPECT_STREQ("Jones Ltd", work.cell);
    EXPECT_EQ(42, RowData(0));
}

// A missing control answers every message with 0, which must not keep a search going.
TEST_F(DialogControls, OperationsOnAMissingControlEndAtOnce) {
    EXPECT_FALSE(SelectListRow(page_, kMissing, 3));
    EXPECT_EQ(0, DeleteSelectedRows(page_, kMissing));
    AddEmptyListRow(page_, kMissing, true);
    EXPECT_EQ(-1, FindChoiceByData(page_, kMissing, 0));
    EXPECT_EQ(nullptr, FindTreeItemByText(page_, kMissing, nullptr, "Sounds"));
    char text[8] = "junk";
    EXPECT_FALSE(GetListCell(page_, kMissing, 0, 0, text, sizeof text));
    EXPECT_STREQ("", text);
}

// --- The page tree.

struct PageItem {
    int parent;  // index in the table, -1 for the root
    const char* text;
    LPARAM page;
};

// The main window's tree. The page values stand in for windows; one uses the high half of a
// 64-bit value to show nothing is cut.
const PageItem kPageTree[] = {
    {-1, "Caller Log", 0x1001},
    {-1, "Modem", 0x1002},
    {1, "COM1", 0x1003},
    {1, "COM2", 0x1004},
    {-1, "Network", 0x1005},
    {-1, "Popup Window", 0x1006},
    {5, "Sounds", static_cast<LPARAM>(0x123456789ABCll)},
    {-1, "Phone Book", 0x1008},
    {-1, "Support", 0x1009},
    {8, "Program Log", 0x100A},
};
constexpr int kPages = sizeof kPageTree / sizeof kPageTree[0];
enum { kModem = 1, kCom1 = 2, kPopup = 5, kSounds = 6, kSupport = 8, kProgramLog = 9 };

class PageTree : public DialogControls {
protected:
    void SetUp() override {
        DialogControls::SetUp();
        for (int i = 0; i < kPages; ++i) {
            const PageItem& p = kPageTree[i];
            items_[i] = AddTreeItem(page_, kTree, p.parent < 0 ? nullptr : items_[p.parent], p.page, p.text);
            ASSERT_NE(nullptr, items_[i]) << p.text;
        }
    }

    HTREEITEM Relative(UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(Send(kTree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    bool IsExpanded(HTREEITEM item) {
        return (Send(kTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }

    HTREEITEM items_[kPages] = {};
};

TEST_F(PageTree, ItemsGoInOrderUnderTheirParentsWithTheirPages) {
    for (int i = 0; i < kPages; ++i) {
        const PageItem& p = kPageTree[i];
        SCOPED_TRACE(p.text);
        char text[32] = "junk";
        EXPECT_TRUE(GetTreeItemText(page_, kTree, items_[i], text, sizeof text));
        EXPECT_STREQ(p.text, text);
        EXPECT_EQ(reinterpret_cast<HWND>(p.page), GetTreeItemData(page_, kTree, items_[i]));
    }
    // The root items, and the children of each item, in the order they were added.
    for (int parent = -1; parent < kPages; ++parent) {
        SCOPED_TRACE(parent < 0 ? "root" : kPageTree[parent].text);
        std::vector<HTREEITEM> expected;
        for (int i = 0; i < kPages; ++i) {
            if (kPageTree[i].parent == parent) expected.push_back(items_[i]);
        }
        std::vector<HTREEITEM> children;
        HTREEITEM child = parent < 0 ? Relative(TVGN_ROOT, nullptr) : Relative(TVGN_CHILD, items_[parent]);
        for (; child != nullptr; child = Relative(TVGN_NEXT, child)) children.push_back(child);
        EXPECT_EQ(expected, children);
    }
    // Each parent was expanded as its children came, so every page shows.
    for (int parent : {kModem, kPopup, kSupport}) EXPECT_TRUE(IsExpanded(items_[parent])) << kPageTree[parent].text;

    char text[5] = "junk";
    EXPECT_TRUE(GetTreeItemText(page_, kTree, items_[kProgramLog], text, sizeof text));
    EXPECT_STREQ("Prog", text);
    EXPECT_FALSE(GetTreeItemText(page_, kTree, nullptr, text, sizeof text));
    EXPECT_STREQ("", text);
    EXPECT_EQ(nullptr, GetTreeItemData(page_, kTree, nullptr));
}

TEST_F(PageTree, ItemTextsFromTheStringTable) {
    HTREEITEM item = AddTreeItemRes(page_, kTree, items_[kSupport], 0x2000, IDS_ERROR);
    ASSERT_NE(nullptr, item);
    char text[32];
    GetTreeItemText(page_, kTree, item, text, sizeof text);
    EXPECT_STREQ("Error", text);
    EXPECT_EQ(items_[kSupport], Relative(TVGN_PARENT, item));
    EXPECT_EQ(reinterpret_cast<HWND>(0x2000), GetTreeItemData(page_, kTree, item));
    EXPECT_EQ(nullptr, AddTreeItem(page_, kTree, nullptr, 0, nullptr));
}

TEST_F(PageTree, ItemsAreFoundByTextDepthFirst) {
    struct Search {
        int start;  // index in the table, -1 for the first root item
        const char* text;
        int found;  // -1: none
    };
    const Search searches[] = {
        {-1, "sounds", kSounds},  // below "Popup Window", found without regard to case
        {-1, "CALLER LOG", 0},
        {-1, "com1", kCom1},
        {-1, "Program Log", kProgramLog},
        {-1, "Sound", -1},         // the whole text
        {-1, "Fax", -1},
        {kSupport, "program log", kProgramLog},
        {kSupport, "Sounds", -1},  // from the start item on, not before it
        {kPopup, "sounds", kSounds},
        {kCom1, "COM2", 3},        // the start's later siblings...
        {kCom1, "Network", -1},    // ...but not its parent's
    };
    for (const Search& s : searches) {
        SCOPED_TRACE(std::string(s.text) + (s.start < 0 ? "" : std::string(" from ") + kPageTree[s.start].text));
        HTREEITEM start = s.start < 0 ? nullptr : items_[s.start];
        EXPECT_EQ(s.found < 0 ? nullptr : items_[s.found], FindTreeItemByText(page_, kTree, start, s.text));
    }
    EXPECT_EQ(items_[kPopup], Relative(TVGN_PARENT, FindTreeItemByText(page_, kTree, nullptr, "sounds")));
    EXPECT_EQ(nullptr, FindTreeItemByText(page_, kTree, nullptr, nullptr));
}

TEST_F(PageTree, SelectingByText) {
    EXPECT_EQ(nullptr, GetSelectedTreeItem(page_, kTree));
    EXPECT_TRUE(SelectTreeItemByText(page_, kTree, "com1"));
    EXPECT_EQ(items_[kCom1], GetSelectedTreeItem(page_, kTree));
    EXPECT_FALSE(SelectTreeItemByText(page_, kTree, "Fax"));  // the page shown stays
    EXPECT_EQ(items_[kCom1], GetSelectedTreeItem(page_, kTree));
    EXPECT_TRUE(SelectTreeItemByText(page_, kTree, "SOUNDS"));
    EXPECT_EQ(items_[kSounds], GetSelectedTreeItem(page_, kTree));
    EXPECT_EQ(reinterpret_cast<HWND>(kPageTree[kSounds].page),
              GetTreeItemData(page_, kTree, GetSelectedTreeItem(page_, kTree)));
}

// --- Enabling a page.

TEST_F(DialogControls, EnablingAPageLeavesTheGivenControlAlone) {
    AddColumns(2);  // the list view's header is a window inside the list view
    HWND header = reinterpret_cast<HWND>(Send(kList, LVM_GETHEADER));
    ASSERT_NE(nullptr, header);
    const int controls[] = {kCombo, kListBox, kList, kTree, kEdit};

    EnableDialogControls(page_, false, kList);
    for (int id : controls) EXPECT_EQ(id == kList, IsWindowEnabled(GetDlgItem(page_, id)) != FALSE) << "control " << id;
    EXPECT_TRUE(IsWindowEnabled(header));

    EnableDialogControls(page_, false, 0);
    for (int id : controls) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, id))) << "control " << id;

    EnableDialogControls(page_, true, kEdit);
    for (int id : controls) EXPECT_EQ(id != kEdit, IsWindowEnabled(GetDlgItem(page_, id)) != FALSE) << "control " << id;
    EXPECT_TRUE(IsWindowEnabled(header));
    EXPECT_TRUE(IsWindowEnabled(page_));  // the page itself is its parent's business
}

}  // namespace
