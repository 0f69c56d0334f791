// The Popup Window page and its Sounds page on a shown stand-in for the main window: what they
// store, under which name, and read back at the next start. The system's choosers are driven from
// a second thread. A ring's popup and sound are seen end to end (tests/e2e/test_popup_sounds.py).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "base/settings.h"
#include "present/popup_page.h"
#include "present/popup_page_ids.h"
#include "present/popup_window.h"
#include "present/sounds_page.h"
#include "present/sounds_page_ids.h"
#include "tests/win/win_test.h"

namespace {

// Controls of the system's choosers: the colour chooser's red, green and blue fields and the font
// chooser's size field.
constexpr int kColourRed = 706;
constexpr int kColourGreen = 707;
constexpr int kColourBlue = 708;
constexpr int kFontSize = 0x472;

// The stored number, or -1 when the value is missing or no number.
int64_t Stored(const char* name) {
    DWORD number = 0;
    return ReadSetting(name, &number, sizeof number) == REG_DWORD ? static_cast<int64_t>(number) : -1;
}

// The sound path shown when none was ever stored, made here without the program's helpers.
std::string DefaultPath() {
    char directory[MAX_PATH] = {};
    std::string path(directory, GetWindowsDirectoryA(directory, sizeof directory));
    return path + (path.empty() || path.back() != '\\' ? "\\" : "") + "Media\\ringin.wav";
}

class Page : public StandInTest {
protected:
    void SetUp() override {
        shown_ = true;
        StandInTest::SetUp();
        ASSERT_TRUE(CreatePopupResources());
    }
    // The page as the main window makes it: created hidden, its start handled, then shown.
    void Open(HWND (*create)(HWND)) {
        if (page_ != nullptr) DestroyWindow(page_);
        page_ = create(parent_);
        ASSERT_NE(nullptr, page_);
        Pump();
        ShowWindow(page_, SW_SHOW);
        Pump();
    }
    bool Checked(int id) const { return IsDlgButtonChecked(page_, id) == BST_CHECKED; }
    std::string Text(int id) const {
        char text[400] = {};
        GetDlgItemTextA(page_, id, text, sizeof text);
        return text;
    }
    // What typing into the field reports.
    void Type(int id, const std::string& text) {
        SetDlgItemTextA(page_, id, text.c_str());
        Pump();
    }
    void Click(int id) {
        SendDlgItemMessageA(page_, id, BM_CLICK, 0, 0);
        Pump();
    }
    void Save() {
        SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
        Pump();
    }

    HWND page_ = nullptr;
};

// --- The Popup Window page.

TEST_F(Page, PopupSwitchAndSecondsAreStoredOnTheSaveAfterAChangeAndReadAtTheStart) {
    WriteSettingDword("popup_e", 7);  // any number of 1 or more means on
    WriteSettingDword("popup_t", 4000000000u);
    Open(CreatePopupPage);
    EXPECT_TRUE(Checked(IDC_POPUP_ENABLED));
    EXPECT_EQ("4000000000", Text(IDC_POPUP_SECONDS));
    EXPECT_EQ(4000000000u, g_state.popupCloseSeconds.load());
    Save();
    EXPECT_EQ(7, Stored("popup_e")) << "filling the page is no change";

    Type(IDC_POPUP_SECONDS, "45");
    EXPECT_EQ(45u, g_state.popupCloseSeconds.load()) << "open popups see it at their next tick";
    EXPECT_EQ(4000000000, Stored("popup_t")) << "nothing stored before the save";
    Save();
    EXPECT_EQ(45, Stored("popup_t"));
    EXPECT_EQ(1, Stored("popup_e"));
    WipeSettings();
    Save();
    EXPECT_EQ(-1, Stored("popup_t")) << "without another change the next save writes nothing";

    Click(IDC_POPUP_ENABLED);
    Type(IDC_POPUP_SECONDS, "abc");  // no number: popups close at their first tick
    EXPECT_EQ(0u, g_state.popupsEnabled.load());
    Save();
    EXPECT_EQ(0, Stored("popup_e"));
    EXPECT_EQ(0, Stored("popup_t"));
    Open(CreatePopupPage);
    EXPECT_FALSE(Checked(IDC_POPUP_ENABLED));
    EXPECT_EQ("0", Text(IDC_POPUP_SECONDS));
}

// Each swatch keeps its colour under its own name, stored at once; a cancelled chooser stores nothing.
TEST_F(Page, PopupColoursAreStoredUnderTheirOwnNames) {
    Open(CreatePopupPage);
    const COLORREF chosen = RGB(0x30, 0xA0, 0x50);
    for (int swatch : {IDC_POPUP_BACK_SWATCH, IDC_POPUP_TEXT_SWATCH}) {
        bool back = swatch == IDC_POPUP_BACK_SWATCH;
        WipeSettings();
        for (bool cancel : {true, false}) {
            HWND control = GetDlgItem(page_, swatch);
            auto click = [&] {
                SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
                SendMessageA(control, WM_LBUTTONUP, 0, 0);
            };
            ASSERT_TRUE(WithDialog(click, [&](HWND dialog) {
                SetDlgItemInt(dialog, kColourRed, GetRValue(chosen), FALSE);
                SetDlgItemInt(dialog, kColourGreen, GetGValue(chosen), FALSE);
                SetDlgItemInt(dialog, kColourBlue, GetBValue(chosen), FALSE);
                PressButton(dialog, cancel ? IDCANCEL : IDOK);
            })) << "no colour chooser showed up";
            EXPECT_EQ(cancel ? -1 : static_cast<int64_t>(chosen), Stored(back ? "clrBg" : "clrTxt")) << cancel;
        }
        EXPECT_EQ(chosen, back ? g_state.popupBackColour : g_state.popupTextColour);
        EXPECT_EQ(-1, Stored(back ? "clrTxt" : "clrBg"));
    }
}

// The chosen font is stored as one 60-byte record, and is the one popups use after the next start.
TEST_F(Page, PopupFontIsStoredAndReadAtTheNextStart) {
    Open(CreatePopupPage);
    LOGFONTA stored{};
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
    ASSERT_EQ(REG_BINARY, ReadSetting("font", &stored, sizeof stored));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72), stored.lfHeight);
    ReleaseDC(nullptr, screen);

    ASSERT_TRUE(CreatePopupResources());  // as the next start makes them
    LOGFONTA used{};
    GetObjectA(GetPopupFont(), sizeof used, &used);
    EXPECT_EQ(stored.lfHeight, used.lfHeight);
    EXPECT_STREQ(stored.lfFaceName, used.lfFaceName);
}

// --- The Sounds page.

// Any number of 1 or more is on; a path stored as something else than text reads as none, and the
// default ring is shown.
TEST_F(Page, SoundSwitchOfAnyNumberAndAPathOfAnotherType) {
    WriteSettingDword("snd_e", 2);
    WriteSettingDword("snd_f", 5);
    Open(CreateSoundsPage);
    EXPECT_TRUE(Checked(IDC_SOUND_ENABLED));
    EXPECT_EQ(DefaultPath(), Text(IDC_SOUND_FILE));
}

TEST_F(Page, SoundSwitchAndPathAreStoredOnTheSaveAfterAChange) {
    Open(CreateSoundsPage);
    Save();
    EXPECT_EQ("<none>", StoredText("snd_f")) << "filling the page is no change";
    Click(IDC_SOUND_ENABLED);
    EXPECT_EQ(-1, Stored("snd_e")) << "nothing stored before the save";
    Save();
    EXPECT_EQ(1, Stored("snd_e"));
    EXPECT_EQ(DefaultPath(), StoredText("snd_f")) << "the default path, once the user changed something";

    Type(IDC_SOUND_FILE, "D:\\Ring\\old phone.wav");
    Save();
    EXPECT_EQ("D:\\Ring\\old phone.wav", StoredText("snd_f"));

    // No more is stored than the next start reads back.
    Type(IDC_SOUND_FILE, "C:\\" + std::string(400, 'b'));
    Save();
    EXPECT_EQ("C:\\" + std::string(256, 'b'), StoredText("snd_f"));
    Open(CreateSoundsPage);
    EXPECT_EQ("C:\\" + std::string(256, 'b'), Text(IDC_SOUND_FILE));
}

}  // namespace
