// The Modem page with its settings, and the window helpers of the port monitor. A hidden window
// stands in for the main window; each test starts without the maker's key, as on a machine
// where the program never ran.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/pump.h"

#include <atomic>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/roles.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "modem/modem_page.h"
#include "modem/modem_page_ids.h"
#include "modem/port_settings_store.h"
#include "modem/window_finder.h"
#include "ui/choice_list.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";
const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

const int kAllControls[] = {
    IDC_MODEM_ADD,          IDC_MODEM_REMOVE,        IDC_MODEM_WINDOWS,  IDC_MODEM_BAUD_RATE,
    IDC_MODEM_BYTE_SIZE,    IDC_MODEM_CALLER_ID,     IDC_MODEM_INIT,     IDC_MODEM_PARITY,
    IDC_MODEM_STOP_BITS,    IDC_MODEM_PORT_NUMBER,   IDC_MODEM_FINDER,   IDC_MODEM_COMPATIBILITY,
    IDC_MODEM_PORT_GROUP,   IDC_MODEM_BAUD_RATE_LABEL,
};

void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

// The value as stored: its type and bytes; type REG_NONE when it is missing.
struct RawValue {
    DWORD type;
    std::string bytes;
};

RawValue GetRaw(const char* name) {
    RawValue value{REG_NONE, {}};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char data[2048];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
        value.type = type;
        value.bytes.assign(data, size);
    }
    RegCloseKey(key);
    return value;
}

std::string ControlText(HWND page, int id) {
    char text[1024];
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

// The texts of a list ("a\0b\0\0") as a vector.
std::vector<std::string> ListTexts(const char* list) {
    std::vector<std::string> texts;
    for (const char* text = list; *text != '\0'; text += lstrlenA(text) + 1) texts.emplace_back(text);
    return texts;
}

std::vector<std::string> PageListTexts(HWND page) {
    char* texts = GetChoiceTexts(page, IDC_MODEM_WINDOWS);
    std::vector<std::string> result = texts != nullptr ? ListTexts(texts) : std::vector<std::string>{"<no memory>"};
    LocalFree(texts);
    return result;
}

void SetList(char (&wnd)[kWindowListSize], const std::vector<std::string>& texts) {
    ZeroMemory(wnd, sizeof wnd);
    size_t at = 0;
    for (const std::string& text : texts) {
        CopyMemory(wnd + at, text.c_str(), text.size() + 1);
        at += text.size() + 1;
    }
}

void ExpectSameSettings(const PortSettings& expected, const PortSettings& actual, int line) {
    SCOPED_TRACE(testing::Message() << "compared at line " << line);
    EXPECT_STREQ(expected.name, actual.name);
    EXPECT_EQ(expected.enabled, actual.enabled);
    EXPECT_EQ(expected.baud_rate, actual.baud_rate);
    EXPECT_EQ(expected.parity, actual.parity);
    EXPECT_EQ(expected.stop_bits, actual.stop_bits);
    EXPECT_EQ(expected.byte_size, actual.byte_size);
    EXPECT_STREQ(expected.init, actual.init);
    EXPECT_STREQ(expected.cid, actual.cid);
    EXPECT_EQ(ListTexts(expected.wnd), ListTexts(actual.wnd));
}

// Settings that differ from the defaults in every field.
PortSettings SampleSettings(int port) {
    PortSettings settings{};
    wsprintfA(settings.name, "COM%d", port);
    settings.enabled = 1;
    settings.baud_rate = 9600;
    settings.parity = 1;
    settings.stop_bits = 2;
    settings.byte_size = 7;
    std::string init = "AT&F" + std::string(59, 'E');  // 63 characters, the most the field keeps
    CopyMemory(settings.init, init.c_str(), init.size() + 1);
    lstrcpyA(settings.cid, "AT+VCID=1");
    SetList(settings.wnd, {"Dialer", "Fax"});
    return settings;
}

class ModemPage : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_state.role = kRoleModem;
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 700, 400, nullptr, nullptr, nullptr, nullptr);
        g_win.mainWindow = parent_;
    }
    void TearDown() override {
        if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
        DestroyWindow(parent_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
    void Open(int port = 1) {
        page_ = CreateModemPage(parent_, port);
        ASSERT_NE(nullptr, page_);
        Pump();
    }
    void Command(int id, LPARAM lParam = 0) { SendMessageA(page_, WM_COMMAND, id, lParam); }
    void Click(int id) { SendDlgItemMessageA(page_, id, BM_CLICK, 0, 0); Pump(); }
    void TypeEntry(const char* text) { SetDlgItemTextA(page_, IDC_MODEM_WINDOWS, text); }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    bool Changed() { return GetPropA(page_, "ch") != nullptr; }
    void ExpectOthersEnabled(bool enabled, int line) {
        for (int id : kAllControls) EXPECT_EQ(enabled, Enabled(id)) << "control " << id << ", line " << line;
    }

    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(ModemPage, FreshInstallationShowsTheDefaults) {
    Open(1);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page_, IDC_MODEM_ENABLED));
    EXPECT_EQ("1", ControlText(page_, IDC_MODEM_PORT_NUMBER));
    EXPECT_EQ("8", ControlText(page_, IDC_MODEM_BYTE_SIZE));
    EXPECT_EQ("115200", ControlText(page_, IDC_MODEM_BAUD_RATE));
    EXPECT_EQ("Even", ControlText(page_, IDC_MODEM_PARITY));
    EXPECT_EQ("1 stop bit", ControlText(page_, IDC_MODEM_STOP_BITS));
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_INIT));
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_CALLER_ID));
    EXPECT_TRUE(PageListTexts(page_).empty());
    EXPECT_TRUE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(false, __LINE__);
    EXPECT_FALSE(Changed());
    EXPECT_NE(nullptr, GetPropA(page_, "th"));

    PortSettings shown;
    ASSERT_TRUE(ReadPortSettingsFromPage(page_, &shown));
    PortSettings defaults{};
    lstrcpyA(defaults.name, "COM1");
    defaults.baud_rate = 115200;
    defaults.byte_size = 8;
    defaults.parity = 2;
    ExpectSameSettings(defaults, shown, __LINE__);
}

TEST_F(ModemPage, EntriesCarryTheStoredValues) {
    Open(1);
    const struct {
        int id;
        int count;
        const char* text;
        LPARAM data;
    } cases[] = {
        {IDC_MODEM_BYTE_SIZE, 4, "5", 5},        {IDC_MODEM_BAUD_RATE, 17, "460800", 460800},
        {IDC_MODEM_PARITY, 5, "No parity", 0},   {IDC_MODEM_PARITY, 5, "Space", 4},
        {IDC_MODEM_STOP_BITS, 3, "1.5 stop bits", 1},
        {IDC_MODEM_CALLER_ID, 10, "AT%CCID=3", 0}, {IDC_MODEM_INIT, 1, "ATZ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.count, SendDlgItemMessageA(page_, c.id, CB_GETCOUNT, 0, 0)) << c.text;
        int index = static_cast<int>(SendDlgItemMessageA(page_, c.id, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(c.text)));
        ASSERT_GE(index, 0) << c.text;
        EXPECT_EQ(c.data, GetChoiceData(page_, c.id, index)) << c.text;
    }
}

TEST_F(ModemPage, ListenRoleStartsWithEverythingDisabled) {
    g_state.role = kRoleListen;
    Open(1);
    EXPECT_FALSE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(false, __LINE__);
}

TEST_F(ModemPage, StoreRoundTripsEveryField) {
    PortSettings saved = SampleSettings(2);
    ASSERT_TRUE(SavePortSettings(2, saved));
    PortSettings* loaded = LoadPortSettings(2);
    ASSERT_NE(nullptr, loaded);
    ExpectSameSettings(saved, *loaded, __LINE__);
    LocalFree(loaded);

    RawValue wnd = GetRaw("COM2_wnd");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), wnd.type);
    EXPECT_EQ(std::string("Dialer\tFax", 11), wnd.bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), GetRaw("COM2_baud_rate").type);
    EXPECT_EQ(64u, GetRaw("COM2_init").bytes.size());
    // Other ports are untouched.
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), GetRaw("COM1_baud_rate").type);
}

TEST_F(ModemPage, EmptyTextsAreStoredAsEmptyValues) {
    PortSettings settings{};
    settings.baud_rate = 115200;
    ASSERT_TRUE(SavePortSettings(3, settings));
    for (const char* name : {"COM3_init", "COM3_cid", "COM3_wnd"}) {
        RawValue value = GetRaw(name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << name;
        EXPECT_EQ(std::string(1, '\0'), value.bytes) << name;
    }
}

TEST_F(ModemPage, OtherPortNumbersHaveNoSettings) {
    EXPECT_EQ(nullptr, LoadPortSettings(0));
    EXPECT_EQ(nullptr, LoadPortSettings(5));
    EXPECT_FALSE(SavePortSettings(5, SampleSettings(1)));
}

TEST_F(ModemPage, TextsThatFillTheirBufferLoadTerminated) {
    std::string full(64, 'A');
    PutRaw("COM1_init", REG_BINARY, full.data(), 64);  // no NUL anywhere
    PutRaw("COM1_cid", REG_SZ, full.data(), 64);       // a text without its NUL reads as missing
    std::string list(1022, 'w');
    list[10] = '\t';
    PutRaw("COM1_wnd", REG_BINARY, list.data(), static_cast<DWORD>(list.size()));
    PortSettings* loaded = LoadPortSettings(1);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(std::string(63, 'A'), std::string(loaded->init));
    EXPECT_STREQ("", loaded->cid);
    std::vector<std::string> texts = ListTexts(loaded->wnd);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(std::string(10, 'w'), texts[0]);
    EXPECT_EQ(std::string(1010, 'w'), texts[1]);  // 1021 characters with the separator
    LocalFree(loaded);
}

TEST_F(ModemPage, ShowsAndSavesEverySetting) {
    PortSettings stored = SampleSettings(1);
    ASSERT_TRUE(SavePortSettings(1, stored));
    Open(1);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page_, IDC_MODEM_ENABLED));
    ExpectOthersEnabled(true, __LINE__);
    EXPECT_EQ("9600", ControlText(page_, IDC_MODEM_BAUD_RATE));
    EXPECT_EQ("7", ControlText(page_, IDC_MODEM_BYTE_SIZE));
    EXPECT_EQ("Odd", ControlText(page_, IDC_MODEM_PARITY));
    EXPECT_EQ("2 stop bits", ControlText(page_, IDC_MODEM_STOP_BITS));
    EXPECT_EQ(stored.init, ControlText(page_, IDC_MODEM_INIT));
    EXPECT_EQ("AT+VCID=1", ControlText(page_, IDC_MODEM_CALLER_ID));
    EXPECT_EQ((std::vector<std::string>{"Dialer", "Fax"}), PageListTexts(page_));
    PortSettings shown;
    ASSERT_TRUE(ReadPortSettingsFromPage(page_, &shown));
    ExpectSameSettings(stored, shown, __LINE__);

    // Unchanged, a save writes nothing.
    RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    Command(CMD_PAGE_SAVE);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), GetRaw("COM1_enabled").type);

    SelectChoiceByData(page_, IDC_MODEM_BAUD_RATE, 19200);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_MODEM_BAUD_RATE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page_, IDC_MODEM_BAUD_RATE)));
    EXPECT_TRUE(Changed());
    SetDlgItemTextA(page_, IDC_MODEM_CALLER_ID, "");
    TypeEntry("HyperTerminal");
    Command(IDC_MODEM_ADD);
    Command(CMD_PAGE_SAVE);
    EXPECT_FALSE(Changed());
    PortSettings* loaded = LoadPortSettings(1);
    ASSERT_NE(nullptr, loaded);
    stored.baud_rate = 19200;
    stored.cid[0] = '\0';
    SetList(stored.wnd, {"Dialer", "Fax", "HyperTerminal"});
    ExpectSameSettings(stored, *loaded, __LINE__);
    LocalFree(loaded);
}

TEST_F(ModemPage, TickingTheCheckBoxEnablesAndMarksChanged) {
    Open(1);
    Click(IDC_MODEM_ENABLED);
    EXPECT_TRUE(Changed());
    ExpectOthersEnabled(true, __LINE__);
    Command(CMD_PAGE_SAVE);
    EXPECT_EQ(1u, ReadSettingDword("COM1_enabled", 0));
    EXPECT_EQ(115200u, ReadSettingDword("COM1_baud_rate", 0));
    Click(IDC_MODEM_ENABLED);
    ExpectOthersEnabled(false, __LINE__);
}

TEST_F(ModemPage, AddingAndRemovingWindowTexts) {
    Open(1);
    TypeEntry("Fax");
    Command(IDC_MODEM_ADD);
    EXPECT_TRUE(Changed());
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_WINDOWS));
    TypeEntry("FAX");  // the same text in other letters selects the entry already there
    Command(IDC_MODEM_ADD);
    TypeEntry("Dialer");
    Command(IDC_MODEM_ADD);
    EXPECT_EQ((std::vector<std::string>{"Dialer", "Fax"}), PageListTexts(page_));  // kept sorted

    RemovePropA(page_, "ch");
    TypeEntry(" \t ");  // blanks only: nothing happens
    Command(IDC_MODEM_ADD);
    EXPECT_EQ(" \t ", ControlText(page_, IDC_MODEM_WINDOWS));
    EXPECT_FALSE(Changed());
    EXPECT_EQ(2u, PageListTexts(page_).size());

    SelectChoiceByText(page_, IDC_MODEM_WINDOWS, "fax");
    Command(IDC_MODEM_REMOVE);
    EXPECT_TRUE(Changed());
    EXPECT_EQ((std::vector<std::string>{"Dialer"}), PageListTexts(page_));
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_WINDOWS));
    SelectChoice(page_, IDC_MODEM_WINDOWS, -1);
    Command(IDC_MODEM_REMOVE);  // nothing selected: nothing removed
    EXPECT_EQ(1u, PageListTexts(page_).size());
}

TEST_F(ModemPage, RoleDecidesWhetherThePageCanBeUsed) {
    PortSettings stored = SampleSettings(1);
    ASSERT_TRUE(SavePortSettings(1, stored));
    Open(1);
    ExpectOthersEnabled(true, __LINE__);

    g_state.role = kRoleListen;
    Command(CMD_ROLE_CHANGED, kRoleListen);
    Pump();
    EXPECT_FALSE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(false, __LINE__);

    g_state.role = kRoleBroadcast;
    Command(CMD_ROLE_CHANGED, kRoleBroadcast);
    Pump();
    EXPECT_TRUE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(true, __LINE__);
    EXPECT_FALSE(Changed());  // the user changed nothing: the first close must not restart the monitor

    CheckDlgButton(page_, IDC_MODEM_ENABLED, BST_UNCHECKED);
    g_state.role = kRoleModem;
    Command(CMD_ROLE_CHANGED, kRoleModem);
    Pump();
    EXPECT_TRUE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(false, __LINE__);
}

TEST_F(ModemPage, EnableRequestLeftFromBeforeListenRoleIsIgnored) {
    Open(1);
    CheckDlgButton(page_, IDC_MODEM_ENABLED, BST_CHECKED);
    PostMessageA(page_, WM_COMMAND, CMD_ENABLE_CONTROLS, 1);
    g_state.role = kRoleListen;
    Command(CMD_ROLE_CHANGED, kRoleListen);
    Pump();
    EXPECT_FALSE(Enabled(IDC_MODEM_ENABLED));
    ExpectOthersEnabled(false, __LINE__);
}

struct ReaderJob {
    HWND page;
    PortSettings settings;
    bool result;
};

DWORD WINAPI ReadFromOtherThread(void* parameter) {
    auto* job = static_cast<ReaderJob*>(parameter);
    job->result = ReadPortSettingsFromPage(job->page, &job->settings);
    return 0;
}

TEST_F(ModemPage, AnotherThreadReadsThePageThroughItsMessages) {
    PortSettings stored = SampleSettings(4);
    ASSERT_TRUE(SavePortSettings(4, stored));
    Open(4);
    ReaderJob job{page_, {}, false};
    HANDLE reader = CreateThread(nullptr, 0, ReadFromOtherThread, &job, 0, nullptr);
    ASSERT_NE(nullptr, reader);
    // The reader's messages are answered here, while this thread waits for it.
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &reader, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        Pump();
        ASSERT_LT(GetTickCount() - start, 10000u);
    }
    CloseHandle(reader);
    EXPECT_TRUE(job.result);
    ExpectSameSettings(stored, job.settings, __LINE__);
}

TEST_F(ModemPage, AGonePageReadsAsNothing) {
    Open(1);
    DestroyWindow(page_);
    PortSettings settings;
    FillMemory(&settings, sizeof settings, 0x55);
    EXPECT_FALSE(ReadPortSettingsFromPage(page_, &settings));
    EXPECT_EQ(0u, settings.baud_rate);
    EXPECT_FALSE(ReadPortSettingsFromPage(page_, nullptr));
    page_ = nullptr;
}

TEST_F(ModemPage, PortNumbersOutsideOneToFourCloseThePage) {
    for (int port : {0, 5, -1}) {
        HWND page = CreateModemPage(parent_, port);
        Pump();
        EXPECT_FALSE(page != nullptr && IsWindow(page)) << "port " << port;
    }
}

TEST_F(ModemPage, PointedWindowTitleGoesIntoTheEditField) {
    Open(1);
    HWND other = CreateWindowExA(0, "STATIC", "Phone Dialer", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    Command(CMD_REFRESH, reinterpret_cast<LPARAM>(other));
    EXPECT_EQ("Phone Dialer", ControlText(page_, IDC_MODEM_WINDOWS));
    EXPECT_TRUE(Changed());
    Command(CMD_REFRESH, 0);
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_WINDOWS));
    DestroyWindow(other);
}

TEST_F(ModemPage, FinderOverOwnWindowsLeavesTheFieldEmpty) {
    SetWindowPos(parent_, nullptr, 50, 50, 700, 400, SWP_NOZORDER);
    ShowWindow(parent_, SW_SHOW);
    Open(1);
    Click(IDC_MODEM_ENABLED);
    ShowWindow(page_, SW_SHOW);
    UpdateWindow(parent_);
    Pump();
    RECT icon;
    GetWindowRect(GetDlgItem(page_, IDC_MODEM_FINDER), &icon);
    POINT center{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    POINT now;
    if (!SetCursorPos(center.x, center.y) || !GetCursorPos(&now) || now.x != center.x || now.y != center.y) {
        GTEST_SKIP() << "the cursor cannot be placed on this display";
    }
    TypeEntry("left over");
    POINT client = center;
    ScreenToClient(page_, &client);
    SendMessageA(page_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    EXPECT_EQ(page_, GetCapture());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page_, IDC_MODEM_FINDER)));
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_WINDOWS));

    RECT portGroup;
    GetWindowRect(GetDlgItem(page_, IDC_MODEM_PORT_GROUP), &portGroup);
    SetCursorPos(portGroup.left + 5, portGroup.bottom - 5);
    SendMessageA(page_, WM_MOUSEMOVE, MK_LBUTTON, 0);
    Pump();
    EXPECT_EQ("", ControlText(page_, IDC_MODEM_WINDOWS));

    SendMessageA(page_, WM_LBUTTONUP, 0, 0);
    Pump();
    EXPECT_NE(page_, GetCapture());
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page_, IDC_MODEM_FINDER)));
    EXPECT_TRUE(PageListTexts(page_).empty());
}

TEST(WindowFinder, FindsAWindowByPartOfItsTitleInAnyCase) {
    HWND fax = CreateWindowExA(0, "STATIC", "Quick FAX Console 7", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(nullptr, fax);
    EXPECT_EQ(fax, FindWindowByTitles("no such window zq\0fax\0"));
    EXPECT_EQ(fax, FindWindowByTitles("console 7\0"));
    EXPECT_EQ(nullptr, FindWindowByTitles("no such window zq\0"));
    EXPECT_EQ(nullptr, FindWindowByTitles(""));
    EXPECT_EQ(nullptr, FindWindowByTitles(nullptr));
    DestroyWindow(fax);
    EXPECT_EQ(nullptr, FindWindowByTitles("Quick FAX Console 7\0"));
}

struct ClearJob {
    std::atomic<HWND>* page;
    DWORD delayMs;
};

DWORD WINAPI ClearLater(void* parameter) {
    auto* job = static_cast<ClearJob*>(parameter);
    Sleep(job->delayMs);
    job->page->store(nullptr);
    return 0;
}

TEST(WindowFinder, SleepEndsWhenThePageGoes) {
    HWND window = CreateWindowExA(0, "STATIC", "page", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::atomic<HWND> page{window};

    DWORD start = GetTickCount();
    EXPECT_TRUE(SleepWhileWindow(&page, 1));
    DWORD slept = GetTickCount() - start;
    EXPECT_GE(slept, 450u);
    EXPECT_LT(slept, 1500u);

    ClearJob job{&page, 200};
    HANDLE clearer = CreateThread(nullptr, 0, ClearLater, &job, 0, nullptr);
    ASSERT_NE(nullptr, clearer);
    start = GetTickCount();
    EXPECT_FALSE(SleepWhileWindow(&page, 20));  // 10 s unless it ends early
    EXPECT_LT(GetTickCount() - start, 1500u);
    WaitForSingleObject(clearer, 5000);
    CloseHandle(clearer);

    page = window;
    DestroyWindow(window);
    start = GetTickCount();
    EXPECT_FALSE(SleepWhileWindow(&page, 20));
    EXPECT_LT(GetTickCount() - start, 500u);
}

}  // namespace
