// The Popup Window page on a shown stand-in for the main window: the switch and the seconds act
// on every popup at once and are stored on the save after a change; font and colours come from
// the system's choosers, driven here from a second thread, and are stored at once. Popups are
// found by their class and read back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/product.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "present/popup_layout.h"
#include "present/popup_page.h"
#include "present/popup_page_ids.h"
#include "present/popup_window.h"
#include "tests/win/dialog_driver.h"
#include "tests/win/pump.h"
#include "tests/win/stand_in_main.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";
const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

// Every control but the switch, which stays enabled to switch popups on again.
const int kSwitchedControls[] = {
    IDC_POPUP_CLOSE_LABEL, IDC_POPUP_SECONDS,     IDC_POPUP_SECONDS_LABEL, IDC_POPUP_FONT_GROUP,
    IDC_POPUP_FONT_SAMPLE, IDC_POPUP_FONT_CHANGE, IDC_POPUP_BACK_LABEL,    IDC_POPUP_BACK_SWATCH,
    IDC_POPUP_TEXT_LABEL,  IDC_POPUP_TEXT_SWATCH, IDC_POPUP_TEST,
};

// The colour chooser's edit fields for red, green and blue, in its fully opened part.
constexpr int kColourRed = 706;
constexpr int kColourGreen = 707;
constexpr int kColourBlue = 708;
// The font chooser's size field.
constexpr int kFontSize = 0x472;

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

BOOL CALLBACK CollectPopup(HWND window, LPARAM found) {
    char className[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, kPopupClassName) == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisiblePopups() {
    std::vector<HWND> found;
    EnumWindows(CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TextOf(HWND window) {
    char text[kPopupTextSize] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND WaitForPopup(const std::string& text) {
    HWND shown = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : VisiblePopups()) {
                if (TextOf(window) == text) shown = window;
            }
            return shown != nullptr;
        },
        3000);
    return shown;
}

bool AllPopupsClosed(DWORD timeoutMs) {
    return WaitUntil([] { return OpenPopupCount() == 0; }, timeoutMs);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y) & 0xFFFFFF;
    ReleaseDC(nullptr, screen);
    return colour;
}

// The colour in the middle of a window, as the screen shows it.
COLORREF MiddleColour(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return ScreenPixel((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// How many pixels inside the window (its edges left out) show exactly this colour.
int PixelsOfColour(HWND window, COLORREF colour) {
    RECT rect{};
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        for (int x = rect.left + 1; x < rect.right - 1; ++x) count += (GetPixel(screen, x, y) & 0xFFFFFF) == colour;
    }
    ReleaseDC(nullptr, screen);
    return count;
}

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

RawValue ReadRaw(const char* name) {
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

// The stored DWORD, or -1 when the value is missing or of another type.
int64_t StoredDword(const char* name) {
    RawValue value = ReadRaw(name);
    if (value.type != REG_DWORD || value.data.size() != 4) return -1;
    DWORD number;
    memcpy(&number, value.data.data(), 4);
    return number;
}

LOGFONTA FontRecord(HFONT font) {
    LOGFONTA record{};
    GetObjectA(font, sizeof record, &record);
    return record;
}

class PopupPage : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(CreatePopupResources());
        parent_ = CreateShownStandIn();
        ASSERT_NE(nullptr, parent_);
        g_win.mainWindow = parent_;
    }
    void TearDown() override {
        for (HWND window : VisiblePopups()) PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(AllPopupsClosed(3000)) << "a popup outlived its test";
        if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
        DestroyWindow(parent_);
        Pump();
        g_win.mainWindow = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
    // The page as the main window makes it: created hidden, its start handled, then shown.
    void Open() {
        page_ = CreatePopupPage(parent_);
        ASSERT_NE(nullptr, page_);
        Pump();
        ShowWindow(page_, SW_SHOW);
        UpdateWindow(page_);
        Pump();
    }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked() const { return IsDlgButtonChecked(page_, IDC_POPUP_ENABLED) == BST_CHECKED; }
    bool Changed() const { return GetPropA(page_, "ch") != nullptr; }
    std::string Seconds() const {
        char text[32] = {};
        GetDlgItemTextA(page_, IDC_POPUP_SECONDS, text, sizeof text);
        return text;
    }
    // A click as the control itself reports it.
    void Click(int id) {
        SendMessageA(Control(id), BM_CLICK, 0, 0);
        Pump();
    }
    void ClickSwatch(int id) {
        SendMessageA(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Pump();
    }
    void Save() {
        SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
        Pump();
    }
    void ExpectSwitchedControls(bool enabled, int line) {
        for (int id : kSwitchedControls) EXPECT_EQ(enabled, Enabled(id)) << "control " << id << ", line " << line;
    }
    // Chooses a colour for a swatch in the real colour chooser: types it and presses OK.
    bool ChooseColour(int swatch, COLORREF colour) {
        return WithDialog([&] { ClickSwatch(swatch); },
                          [&](HWND dialog) {
                              SetDlgItemInt(dialog, kColourRed, GetRValue(colour), FALSE);
                              SetDlgItemInt(dialog, kColourGreen, GetGValue(colour), FALSE);
                              SetDlgItemInt(dialog, kColourBlue, GetBValue(colour), FALSE);
                              PressButton(dialog, IDOK);
                          });
    }

    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(PopupPage, FreshInstallationShowsTheDefaults) {
    g_state.popupsEnabled = 0;  // what start-up set is replaced by what the page reads
    g_state.popupCloseSeconds = 4;
    Open();
    EXPECT_TRUE(Checked());
    EXPECT_EQ("30", Seconds());
    EXPECT_EQ(1u, g_state.popupsEnabled.load());
    EXPECT_EQ(30u, g_state.popupCloseSeconds.load());
    ExpectSwitchedControls(true, __LINE__);
    EXPECT_TRUE(Enabled(IDC_POPUP_ENABLED));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetPopupFont()), SendMessageA(Control(IDC_POPUP_FONT_SAMPLE), WM_GETFONT, 0, 0))
        << "the sample is shown in the popup font";
    EXPECT_FALSE(Changed()) << "filling the page is no change";
    Save();
    EXPECT_EQ(-1, StoredDword("popup_e"));
    EXPECT_EQ(-1, StoredDword("popup_t"));
}

TEST_F(PopupPage, StoredValuesAreShownAndUsed) {
    struct Case {
        DWORD enabled;
        DWORD seconds;
        bool checked;
        uint32_t live;
        const char* shown;
    };
    const Case cases[] = {
        {0, 12, false, 0, "12"},
        {1, 0, true, 1, "0"},
        {7, 4000000000u, true, 1, "4000000000"},  // any number of 1 or more means on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        WriteSettingDword("popup_e", c.enabled);
        WriteSettingDword("popup_t", c.seconds);
        Open();
        EXPECT_EQ(c.checked, Checked());
        EXPECT_EQ(c.shown, Seconds());
        EXPECT_EQ(c.live, g_state.popupsEnabled.load());
        EXPECT_EQ(c.seconds, g_state.popupCloseSeconds.load());
        ExpectSwitchedControls(c.checked, __LINE__);
        EXPECT_TRUE(Enabled(IDC_POPUP_ENABLED));
        EXPECT_FALSE(Changed());
        DestroyWindow(page_);
        Pump();
    }
}

TEST_F(PopupPage, SwitchDisablesEverythingElseAndBack) {
    Open();
    Click(IDC_POPUP_ENABLED);
    EXPECT_FALSE(Checked());
    EXPECT_EQ(0u, g_state.popupsEnabled.load());
    ExpectSwitchedControls(false, __LINE__);
    EXPECT_TRUE(Enabled(IDC_POPUP_ENABLED));
    EXPECT_TRUE(Changed());
    Click(IDC_POPUP_ENABLED);
    EXPECT_TRUE(Checked());
    EXPECT_EQ(1u, g_state.popupsEnabled.load());
    ExpectSwitchedControls(true, __LINE__);
}

TEST_F(PopupPage, SwitchingOffClosesOpenPopups) {
    Open();
    Click(IDC_POPUP_TEST);
    ASSERT_NE(nullptr, WaitForPopup("This is \r\nsample text"));
    Click(IDC_POPUP_ENABLED);
    EXPECT_TRUE(AllPopupsClosed(2500));
    SendMessageA(page_, WM_COMMAND, IDC_POPUP_TEST, 0);  // the disabled button's command, should it come
    Sleep(300);
    EXPECT_EQ(0, OpenPopupCount());
}

TEST_F(PopupPage, TestItNowShowsTwoLines) {
    Open();
    Click(IDC_POPUP_TEST);
    HWND popup = WaitForPopup("This is \r\nsample text");
    ASSERT_NE(nullptr, popup);
    // Two lines are taller than one line of the same font.
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetPopupFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    RECT rect{};
    GetWindowRect(popup, &rect);
    EXPECT_GE(rect.bottom - rect.top, 2 * metrics.tmHeight + 8);
    EXPECT_FALSE(Changed()) << "a test popup changes no setting";
}

TEST_F(PopupPage, SwitchAndSecondsAreStoredOnTheSaveAfterAChange) {
    Open();
    SetDlgItemTextA(page_, IDC_POPUP_SECONDS, "45");  // what typing into the field reports
    Pump();
    EXPECT_EQ(45u, g_state.popupCloseSeconds.load()) << "open popups see it at their next tick";
    EXPECT_TRUE(Changed());
    EXPECT_EQ(-1, StoredDword("popup_t")) << "nothing stored before the save";
    Save();
    EXPECT_EQ(45, StoredDword("popup_t"));
    EXPECT_EQ(1, StoredDword("popup_e"));
    EXPECT_FALSE(Changed());

    // Without another change the next save writes nothing.
    WriteSetting("popup_t", nullptr, 0, REG_DWORD);
    WriteSetting("popup_e", nullptr, 0, REG_DWORD);
    Save();
    EXPECT_EQ(-1, StoredDword("popup_t"));
    EXPECT_EQ(-1, StoredDword("popup_e"));

    Click(IDC_POPUP_ENABLED);
    Save();
    EXPECT_EQ(0, StoredDword("popup_e"));
    EXPECT_EQ(45, StoredDword("popup_t"));
}

TEST_F(PopupPage, SecondsThatAreNoNumberStoreZero) {
    for (const char* text : {"", "abc"}) {
        SCOPED_TRACE(text);
        Open();
        SetDlgItemTextA(page_, IDC_POPUP_SECONDS, text);
        Pump();
        EXPECT_EQ(0u, g_state.popupCloseSeconds.load());
        Save();
        EXPECT_EQ(0, StoredDword("popup_t"));
        DestroyWindow(page_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
}

TEST_F(PopupPage, HiddenOrDestroyedPageStoresNothing) {
    Open();
    ShowWindow(page_, SW_HIDE);
    SetDlgItemTextA(page_, IDC_POPUP_SECONDS, "7");
    Pump();
    EXPECT_EQ(30u, g_state.popupCloseSeconds.load());
    EXPECT_FALSE(Changed());
    ShowWindow(page_, SW_SHOW);
    SetDlgItemTextA(page_, IDC_POPUP_SECONDS, "9");
    Pump();
    ASSERT_TRUE(Changed());
    DestroyWindow(page_);
    Pump();
    EXPECT_EQ(-1, StoredDword("popup_t"));
}

TEST_F(PopupPage, ChosenBackgroundColourIsStoredAndPaintsTheNextPopup) {
    Open();
    const COLORREF chosen = RGB(0x30, 0xA0, 0x50);
    EXPECT_EQ(kDefaultBackColour, MiddleColour(Control(IDC_POPUP_BACK_SWATCH)));
    ASSERT_TRUE(ChooseColour(IDC_POPUP_BACK_SWATCH, chosen)) << "no colour chooser showed up";
    EXPECT_EQ(chosen, g_state.popupBackColour);
    EXPECT_EQ(static_cast<int64_t>(chosen), StoredDword("clrBg")) << "stored at once, before any save";
    EXPECT_FALSE(Changed());
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_BACK_SWATCH)) == chosen; }, 2000))
        << std::hex << MiddleColour(Control(IDC_POPUP_BACK_SWATCH));
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_TEXT_SWATCH)) == 0; }, 2000))
        << "the text swatch keeps black";

    Click(IDC_POPUP_TEST);
    HWND popup = WaitForPopup("This is \r\nsample text");
    ASSERT_NE(nullptr, popup);
    RECT rect{};
    GetWindowRect(popup, &rect);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(rect.right - 3, rect.bottom - 3) == chosen; }, 2000))
        << std::hex << ScreenPixel(rect.right - 3, rect.bottom - 3);
}

TEST_F(PopupPage, ChosenTextColourIsStoredAndWritesTheNextPopup) {
    Open();
    const COLORREF chosen = RGB(0xD0, 0x10, 0x20);
    ASSERT_TRUE(ChooseColour(IDC_POPUP_TEXT_SWATCH, chosen)) << "no colour chooser showed up";
    EXPECT_EQ(chosen, g_state.popupTextColour);
    EXPECT_EQ(static_cast<int64_t>(chosen), StoredDword("clrTxt"));
    EXPECT_EQ(-1, StoredDword("clrBg"));
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_TEXT_SWATCH)) == chosen; }, 2000));

    Click(IDC_POPUP_TEST);
    HWND popup = WaitForPopup("This is \r\nsample text");
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(WaitUntil([&] { return PixelsOfColour(popup, chosen) > 20; }, 2000))
        << PixelsOfColour(popup, chosen) << " pixels of the text colour";
}

TEST_F(PopupPage, CancelledColourChooserChangesNothing) {
    Open();
    ASSERT_TRUE(WithDialog([&] { ClickSwatch(IDC_POPUP_BACK_SWATCH); },
                           [](HWND dialog) { PressButton(dialog, IDCANCEL); }));
    EXPECT_EQ(kDefaultBackColour, g_state.popupBackColour);
    EXPECT_EQ(-1, StoredDword("clrBg"));
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_BACK_SWATCH)) == kDefaultBackColour; }, 2000))
        << std::hex << MiddleColour(Control(IDC_POPUP_BACK_SWATCH));
}

TEST_F(PopupPage, DisabledSwatchesShowNoColour) {
    g_state.popupBackColour = RGB(0x10, 0x20, 0xF0);
    Open();
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_BACK_SWATCH)) == RGB(0x10, 0x20, 0xF0); }, 2000));
    Click(IDC_POPUP_ENABLED);
    UpdateWindow(page_);
    EXPECT_TRUE(WaitUntil([&] { return MiddleColour(Control(IDC_POPUP_BACK_SWATCH)) != RGB(0x10, 0x20, 0xF0); }, 2000));
}

TEST_F(PopupPage, ChosenFontIsStoredAndShownInTheSample) {
    Open();
    HFONT before = GetPopupFont();
    ASSERT_TRUE(WithDialog([&] { Click(IDC_POPUP_FONT_CHANGE); },
                           [](HWND dialog) {
                               // As a click on "20" in the list of sizes leaves it.
                               HWND sizes = GetDlgItem(dialog, kFontSize);
                               LRESULT index = SendMessageA(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                            reinterpret_cast<LPARAM>("20"));
                               SendMessageA(sizes, CB_SETCURSEL, index, 0);
                               if (index == CB_ERR) SetWindowTextA(sizes, "20");
                               PressButton(dialog, IDOK);
                           }))
        << "no font chooser showed up";
    HFONT after = GetPopupFont();
    ASSERT_NE(before, after);
    EXPECT_EQ(0u, GetObjectType(before)) << "the previous font is released";
    EXPECT_EQ(reinterpret_cast<LRESULT>(after), SendMessageA(Control(IDC_POPUP_FONT_SAMPLE), WM_GETFONT, 0, 0));
    RawValue stored = ReadRaw("font");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    ASSERT_EQ(60u, stored.data.size());
    LOGFONTA record;
    memcpy(&record, stored.data.data(), sizeof record);
    LOGFONTA used = FontRecord(after);
    EXPECT_EQ(record.lfHeight, used.lfHeight);
    EXPECT_STREQ(record.lfFaceName, used.lfFaceName);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72), record.lfHeight);
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(Changed());
}

TEST_F(PopupPage, CancelledFontChooserChangesNothing) {
    Open();
    HFONT before = GetPopupFont();
    RawValue storedBefore = ReadRaw("font");
    ASSERT_TRUE(WithDialog([&] { Click(IDC_POPUP_FONT_CHANGE); },
                           [](HWND dialog) { PressButton(dialog, IDCANCEL); }));
    EXPECT_EQ(before, GetPopupFont());
    EXPECT_EQ(storedBefore.data, ReadRaw("font").data);
}

}  // namespace
