// Popups in this process, each on a thread of its own, found by their window class: they appear
// with their text, go away, and keep drawing when the shared drawing objects are replaced. Where
// a popup is placed is the layout's business (tests/native/popup_layout_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "base/product.h"
#include "present/popup_layout.h"
#include "present/popup_window.h"
#include "res/resource_ids.h"
#include "tests/win/win_test.h"

namespace {

BOOL CALLBACK CollectPopup(HWND window, LPARAM found) {
    char className[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && GetClassNameA(window, className, sizeof className) > 0 &&
        lstrcmpA(className, kPopupClassName) == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> Popups() {
    std::vector<HWND> found;
    EnumWindows(CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The one shown popup, once there is one; nullptr after 3 s.
HWND WaitForShownPopup() {
    HWND shown = nullptr;
    PumpUntil([&] {
        for (HWND window : Popups()) shown = IsWindowVisible(window) ? window : shown;
        return shown != nullptr;
    }, 3000);
    return shown;
}

bool AllClosed(DWORD timeoutMs) {
    return PumpUntil([] { return OpenPopupCount() == 0 && Popups().empty(); }, timeoutMs);
}

class Popup : public testing::Test {
protected:
    void SetUp() override {
        WipeSettings();
        SetProcessDefaults(&g_state);
        ASSERT_TRUE(CreatePopupResources());
    }
    void TearDown() override {
        for (HWND window : Popups()) PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(AllClosed(3000)) << "a popup outlived its test";
        WipeSettings();
    }
};

TEST_F(Popup, AppearsWithItsTextWithoutTakingTheFocus) {
    struct Case {
        std::function<void()> show;
        std::string expected;  // "cut": as many x as the formatter takes, 1024 at most
    };
    const Case cases[] = {
        {[] { ShowPopup("%s", "100% %s %n %d"); }, "100% %s %n %d"},  // a received text is shown as it came
        {[] { ShowPopup("%s", std::string(5000, 'x').c_str()); }, "cut"},  // never written past the buffer
        {[] { ShowPopupFromStrings(IDS_ERROR, IDS_TWO_SERVERS); }, "Error\r\nMore than one server is not allowed!"},
        {[] { ShowPopupFromStrings(9999, IDS_ERROR); }, "\r\nError"},  // a missing string is an empty line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        c.show();
        HWND window = WaitForShownPopup();
        ASSERT_NE(nullptr, window);
        char text[kPopupTextSize] = {};
        std::string shown(text, GetWindowTextA(window, text, sizeof text));
        if (c.expected == "cut") {
            EXPECT_EQ(std::string(shown.size(), 'x'), shown);
            EXPECT_GE(shown.size(), 1000u);
            EXPECT_LE(shown.size(), 1024u);
        } else {
            EXPECT_EQ(c.expected, shown);
        }
        EXPECT_NE(window, GetForegroundWindow()) << "a popup never takes the focus from what the user is doing";
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(AllClosed(2000));
    }
}

TEST_F(Popup, ClosesByItselfAfterItsSecondsOrWhenSwitchedOff) {
    g_state.popupCloseSeconds = 2;
    DWORD start = GetTickCount();
    ShowPopup("%s", "Brief");
    ASSERT_NE(nullptr, WaitForShownPopup());
    ASSERT_TRUE(AllClosed(10000));
    EXPECT_GE(GetTickCount() - start, 1900u) << "a lifetime of 2 is two ticks of a second";

    g_state.popupCloseSeconds = 30;
    ShowPopup("%s", "Open one");
    ShowPopup("%s", "Open two");
    ASSERT_TRUE(PumpUntil([] { return Popups().size() == 2; }, 3000));
    g_state.popupsEnabled = 0;
    EXPECT_TRUE(AllClosed(2500)) << "closed at their next tick";
    ShowPopup("%s", "Nobody sees this");
    ShowPopupFromStrings(IDS_ERROR, IDS_TWO_SERVERS);
    EXPECT_EQ(0, OpenPopupCount()) << "no thread started";
}

// The Popup Window page replaces the font and the colours while popups are open: an open popup
// paints with the new objects, and the old ones are released.
TEST_F(Popup, DrawingObjectsAreReplacedUnderAnOpenPopup) {
    ShowPopup("%s", "Colours");
    HWND window = WaitForShownPopup();
    ASSERT_NE(nullptr, window);

    HFONT old = GetPopupFont();
    LOGFONTA record{};
    GetObjectA(old, sizeof record, &record);
    record.lfHeight = -20;
    memset(record.lfFaceName, 'A', sizeof record.lfFaceName);  // no NUL: must not be read past
    HFONT made = ReplacePopupFont(record);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(0u, GetObjectType(old)) << "the old font is released";

    g_state.popupBackColour = RGB(0x20, 0x40, 0xC0);
    ASSERT_TRUE(RecreatePopupResources());
    EXPECT_EQ(made, GetPopupFont()) << "a change of colours keeps the font the page shows in its sample";
    InvalidateRect(window, nullptr, TRUE);
    RECT rect{};
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    auto corner = [&] { return GetPixel(screen, rect.right - 3, rect.bottom - 3) & 0xFFFFFF; };
    EXPECT_TRUE(PumpUntil([&] { return corner() == RGB(0x20, 0x40, 0xC0); }, 2000)) << std::hex << corner();
    ReleaseDC(nullptr, screen);
}

}  // namespace
