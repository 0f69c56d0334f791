// The Modem page and its settings store. A hidden window stands in for the main window; each test
// starts without the maker's key, as on a machine where the program never ran.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/win_test.h"

#include <string>

#include "base/messages.h"
#include "base/roles.h"
#include "base/settings.h"
#include "modem/modem_page.h"
#include "modem/modem_page_ids.h"
#include "modem/port_settings_store.h"
#include "ui/choice_list.h"

namespace {

// The texts of a list ("a\0b\0\0") joined by "|".
std::string ListTexts(const char* list) {
    std::string texts;
    for (const char* text = list; *text != '\0'; text += lstrlenA(text) + 1) {
        texts += (texts.empty() ? "" : "|") + std::string(text);
    }
    return texts;
}

std::string PageListTexts(HWND page) {
    char* texts = GetChoiceTexts(page, IDC_MODEM_WINDOWS);
    std::string result = texts != nullptr ? ListTexts(texts) : "<no memory>";
    LocalFree(texts);
    return result;
}

// The settings in one line, for comparisons that show every difference at once.
std::string Describe(const PortSettings& s) {
    return std::to_string(s.enabled) + " " + std::to_string(s.baud_rate) + " parity " + std::to_string(s.parity) +
           " stop " + std::to_string(s.stop_bits) + " size " + std::to_string(s.byte_size) + " init \"" + s.init +
           "\" cid \"" + s.cid + "\" hang up \"" + s.hangup1 + "\" \"" + s.hangup2 + "\" windows " + ListTexts(s.wnd);
}

// Settings that differ from the defaults in every field.
PortSettings SampleSettings() {
    PortSettings settings{};
    settings.enabled = 1;
    settings.baud_rate = 9600;
    settings.parity = 1;
    settings.stop_bits = 2;
    settings.byte_size = 7;
    std::string init = "AT&F" + std::string(59, 'E');  // 63 characters, the most the field keeps
    CopyMemory(settings.init, init.c_str(), init.size() + 1);
    lstrcpyA(settings.cid, "AT+VCID=1");
    lstrcpyA(settings.hangup1, "ATA");
    lstrcpyA(settings.hangup2, "ATH");
    CopyMemory(settings.wnd, "Dialer\0Fax\0", 12);
    return settings;
}

// A port's stored settings; a failure shows as all-zero settings.
PortSettings Loaded(int port) {
    PortSettings settings{};
    PortSettings* loaded = LoadPortSettings(port);
    if (loaded != nullptr) settings = *loaded;
    LocalFree(loaded);
    return settings;
}

class ModemPage : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        g_state.role = kRoleModem;
    }
    void Open(int port = 1) {
        page_ = CreateModemPage(parent_, port);
        ASSERT_NE(nullptr, page_);
        Pump();
    }
    void Command(int id, LPARAM lParam = 0) {
        SendMessageA(page_, WM_COMMAND, id, lParam);
        Pump();
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    bool Changed() { return GetPropA(page_, "ch") != nullptr; }
    // Whether the controls the check box switches (all but itself) are enabled, by one of them.
    bool Switched() { return Enabled(IDC_MODEM_BAUD_RATE); }

    HWND page_ = nullptr;
};

// Hand edits and old versions: texts that fill their field come back terminated.
TEST_F(ModemPage, TextsThatFillTheirFieldLoadTerminated) {
    std::string full(64, 'A');
    WriteSetting("COM1_init", full.data(), 64, REG_BINARY);  // no NUL anywhere
    WriteSetting("COM1_cid", full.data(), 64, REG_SZ);       // a text without its NUL reads as missing
    std::string list(1022, 'w');
    list[10] = '\t';
    WriteSetting("COM1_wnd", list.data(), 1022, REG_BINARY);
    PortSettings loaded = Loaded(1);
    EXPECT_EQ(std::string(63, 'A'), std::string(loaded.init));
    EXPECT_STREQ("", loaded.cid);
    EXPECT_EQ(std::string(10, 'w') + "|" + std::string(1010, 'w'), ListTexts(loaded.wnd));
}

TEST_F(ModemPage, ShowsTheStoredSettingsAndSavesOnlyAChange) {
    PortSettings stored = SampleSettings();
    ASSERT_TRUE(SavePortSettings(1, stored));
    Open(1);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page_, IDC_MODEM_ENABLED));
    EXPECT_TRUE(Switched());
    PortSettings shown;
    ASSERT_TRUE(ReadPortSettingsFromPage(page_, &shown));
    EXPECT_STREQ("COM1", shown.name);
    EXPECT_EQ(Describe(stored), Describe(shown));

    WipeSettings();
    Command(CMD_PAGE_SAVE);
    EXPECT_EQ(7u, ReadSettingDword("COM1_enabled", 7)) << "unchanged, a save writes nothing";

    SelectChoiceByData(page_, IDC_MODEM_BAUD_RATE, 19200);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_MODEM_BAUD_RATE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page_, IDC_MODEM_BAUD_RATE)));
    SetDlgItemTextA(page_, IDC_MODEM_CALLER_ID, "");
    SendDlgItemMessageA(page_, IDC_MODEM_ENABLED, BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(Switched());
    Command(CMD_PAGE_SAVE);
    EXPECT_FALSE(Changed());
    stored.baud_rate = 19200;
    stored.cid[0] = '\0';
    stored.enabled = 0;
    EXPECT_EQ(Describe(stored), Describe(Loaded(1)));
    EXPECT_EQ("Dialer\tFax", StoredText("COM1_wnd"));
    EXPECT_EQ(19200u, ReadSettingDword("COM1_baud_rate", 0));
    EXPECT_EQ(0u, ReadSettingDword("COM2_baud_rate", 0)) << "other ports are untouched";
}

// A blank title would match every window, and the monitor would give its port up for good.
TEST_F(ModemPage, AddingAndRemovingWindowTexts) {
    Open(1);
    for (const char* text : {"Fax", "FAX", " \t ", "Dialer"}) {  // "FAX" is there already
        SetDlgItemTextA(page_, IDC_MODEM_WINDOWS, text);
        Command(IDC_MODEM_ADD);
    }
    EXPECT_EQ("Dialer|Fax", PageListTexts(page_));
    SelectChoiceByText(page_, IDC_MODEM_WINDOWS, "fax");
    Command(IDC_MODEM_REMOVE);
    EXPECT_EQ("Dialer", PageListTexts(page_));
    EXPECT_TRUE(Changed());
}

// In role 1 (listen only) the modem belongs to another computer: nothing on the page can be used.
TEST_F(ModemPage, RoleDecidesWhetherThePageCanBeUsed) {
    ASSERT_TRUE(SavePortSettings(1, SampleSettings()));
    g_state.role = kRoleListen;
    Open(1);
    EXPECT_FALSE(Enabled(IDC_MODEM_ENABLED));
    EXPECT_FALSE(Switched());
    struct Step {
        uint32_t role;
        bool checked;
        bool box;
        bool others;
    } const steps[] = {
        {kRoleBroadcast, true, true, true}, {kRoleListen, true, false, false}, {kRoleModem, false, true, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.role);
        CheckDlgButton(page_, IDC_MODEM_ENABLED, s.checked ? BST_CHECKED : BST_UNCHECKED);
        g_state.role = s.role;
        Command(CMD_ROLE_CHANGED, s.role);
        EXPECT_EQ(s.box, Enabled(IDC_MODEM_ENABLED));
        EXPECT_EQ(s.others, Switched());
        // The user changed nothing: a save at the first close would restart the monitor under a
        // call that is ringing.
        EXPECT_FALSE(Changed());
    }

    // A request to enable, posted before the role changed to 1, must not wake the controls again.
    g_state.role = kRoleModem;
    Command(CMD_ROLE_CHANGED, kRoleModem);
    CheckDlgButton(page_, IDC_MODEM_ENABLED, BST_CHECKED);
    PostMessageA(page_, WM_COMMAND, CMD_ENABLE_CONTROLS, 1);
    g_state.role = kRoleListen;
    Command(CMD_ROLE_CHANGED, kRoleListen);
    EXPECT_FALSE(Enabled(IDC_MODEM_ENABLED));
    EXPECT_FALSE(Switched());
}

}  // namespace
