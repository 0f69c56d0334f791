// Contacts imported through the Phone Book page as a user does it: the Import button, the file
// chooser, the message that follows, the rows in the list, and Ctrl+Z taking the import back. The
// readers and the merge are the core's (tests/native/contacts_test.cpp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"
#include "diag/program_log.h"
#include "present/contact_transfer.h"
#include "present/contact_transfer_ids.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_page.h"
#include "tests/win/win_test.h"

namespace {

// The file name field of the system's file chooser, by the identifiers its templates give it.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

BOOL CALLBACK AddStaticText(HWND child, LPARAM texts) {
    char className[16] = "";
    char text[1024] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
        *reinterpret_cast<std::string*>(texts) += text;
    }
    return TRUE;
}

class ContactImport : public StandInTest {
protected:
    void SetUp() override {
        shown_ = true;
        StandInTest::SetUp();
        CreateProgramLogPage(parent_);
        WriteSetting("pbook", book_.c_str(), static_cast<DWORD>(book_.size() + 1), REG_SZ);
        WriteFileText(book_, "5550101:Ann\r\n");
        page_ = CreatePhoneBookPage(parent_);
        ASSERT_NE(nullptr, page_);
        ShowWindow(page_, SW_SHOWNA);
        ASSERT_TRUE(PumpUntil(PhoneBookLoaded, 20000));
    }
    void TearDown() override {
        StandInTest::TearDown();
        DeleteFileA(book_.c_str());
        DeleteFileA(contacts_.c_str());
    }

    // Import clicked, the file chosen in the chooser; returns the message the import shows.
    std::string Import(const std::string& text) {
        WriteFileText(contacts_, text);
        HWND button = GetDlgItem(page_, IDC_IMPORT_CONTACTS);
        bool chosen = WithDialog([&] { SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_CONTACTS, BN_CLICKED),
                                                    reinterpret_cast<LPARAM>(button)); },
                                 [&](HWND chooser) {
                                     HWND name = GetDlgItem(chooser, kFileNameCombo);
                                     if (name == nullptr) name = GetDlgItem(chooser, kFileNameEdit);
                                     SetWindowTextA(name, contacts_.c_str());
                                     PressButton(chooser, IDOK);
                                 });
        EXPECT_TRUE(chosen) << "no file chooser showed up";
        // The file is read on a thread of its own; the page then shows what came of it.
        std::string message;
        bool told = false;
        bool shown = WithDialog([&] { PumpUntil([&] { return told; }, 20000); },
                                [&](HWND box) {
                                    EnumChildWindows(box, AddStaticText, reinterpret_cast<LPARAM>(&message));
                                    told = true;
                                    PressButton(box, IDOK);
                                });
        EXPECT_TRUE(shown) << "no message after the import";
        return message;
    }

    std::vector<std::string> Rows() { return ListRows(GetDlgItem(page_, IDC_PHONE_BOOK_LIST), 2); }

    std::string book_ = TempPath("tellwire-import-test.pbook");
    std::string contacts_ = TempPath("tellwire-import-test.csv");
    HWND page_ = nullptr;
};

TEST_F(ContactImport, ImportedRowsShowAndCtrlZTakesThemBack) {
    // A file that names no caller changes nothing and says what it has.
    EXPECT_NE(std::string::npos, Import("Email,Birthday\r\nx@example.com,1990-01-01\r\n").find(
                                     "Columns found: Email, Birthday"));
    EXPECT_EQ(std::vector<std::string>{"Ann|5550101"}, Rows());

    std::string message = Import("First Name,Last Name,Mobile Phone,Home Phone\r\n"
                                 "Zo\xC3\xAB,Saldana,+1 415-555-0111,\"415-555-0112\"\r\n"
                                 "Ann,,555-0101,\r\nNo,Number,,\r\n");
    EXPECT_NE(std::string::npos, message.find("1 added, 1 skipped")) << message;
    EXPECT_NE(std::string::npos, message.find("1 refused")) << message;
    char zoe[64] = "";  // the name in the program's code page
    WideCharToMultiByte(CP_ACP, 0, L"Zo\u00eb Saldana", -1, zoe, sizeof zoe, "?", nullptr);
    EXPECT_EQ((std::vector<std::string>{"Ann|5550101", std::string(zoe) + "|14155550111, 4155550112"}), Rows());
    EXPECT_NE(nullptr, GetPropA(page_, "ch"));  // so the book is saved
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page_, IDC_UNDO_IMPORT)));

    // Ctrl+Z on the list takes the whole import back; in an edit field it would be the field's.
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE pressed[256];
    CopyMemory(pressed, keys, sizeof keys);
    pressed[VK_CONTROL] = 0x80;
    SetKeyboardState(pressed);
    MSG inField{GetDlgItem(page_, IDC_NAME_EDIT), WM_KEYDOWN, 'Z', 0, 0, {}};
    MSG onList{GetDlgItem(page_, IDC_PHONE_BOOK_LIST), WM_KEYDOWN, 'Z', 0, 0, {}};
    ListView_SetItemState(onList.hwnd, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Pump();  // one row selected: the editors are enabled
    SetFocus(inField.hwnd);
    HWND focus = GetFocus();
    bool takenInField = TranslateContactKeys(&inField);
    SetFocus(onList.hwnd);
    bool takenOnList = TranslateContactKeys(&onList);
    SetKeyboardState(keys);
    EXPECT_EQ(inField.hwnd, focus);
    EXPECT_FALSE(takenInField);
    EXPECT_TRUE(takenOnList);
    Pump();
    EXPECT_EQ(std::vector<std::string>{"Ann|5550101"}, Rows());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, IDC_UNDO_IMPORT)));
}

}  // namespace
