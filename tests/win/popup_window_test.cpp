// Popups in this process: each on a thread of its own, found by their window class. The test
// thread only looks at them and posts to them, as the main window would; waits are short polls.
#include <windows.h>
#include <tlhelp32.h>

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
#include "present/popup_window.h"
#include "res/resource_ids.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";
const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

// Polls every 10 ms until done() holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

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

// This process's popups, topmost first.
std::vector<HWND> Popups() {
    std::vector<HWND> found;
    EnumWindows(CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> VisiblePopups() {
    std::vector<HWND> visible;
    for (HWND window : Popups()) {
        if (IsWindowVisible(window)) visible.push_back(window);
    }
    return visible;
}

std::string TextOf(HWND window) {
    char text[kPopupTextSize] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Waits for the one popup with this text to be shown; nullptr after 3 s.
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

bool AllClosed(DWORD timeoutMs) {
    return WaitUntil([] { return OpenPopupCount() == 0 && Popups().empty(); }, timeoutMs);
}

// Moves the real cursor and waits until the system reports it there, so a popup that asks for
// the cursor position next finds it where the test put it.
bool MoveCursorTo(int x, int y) {
    SetCursorPos(x, y);
    return WaitUntil(
        [&] {
            POINT at{};
            return GetCursorPos(&at) && at.x == x && at.y == y;
        },
        1000);
}

int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// The size a popup of this text must have, measured as a popup measures it.
PopupLayout ExpectedLayout(const char* text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetPopupFont());
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &extent, DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return ComputePopupLayout(PopupMeasure{extent.right, extent.bottom, true, true});
}

LOGFONTA FontRecord(HFONT font) {
    LOGFONTA record{};
    GetObjectA(font, sizeof record, &record);
    return record;
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

void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

class Popup : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        g_win.mainWindow = nullptr;
        ASSERT_TRUE(CreatePopupResources());
        ASSERT_EQ(0, OpenPopupCount());
    }
    void TearDown() override {
        for (HWND window : Popups()) PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(AllClosed(3000)) << "a popup outlived its test";
        g_win.mainWindow = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
};

TEST_F(Popup, TwoPopupsLieOnTopOfEachOtherAndCloseByTheirTimer) {
    g_state.popupCloseSeconds = 2;
    DWORD start = GetTickCount();
    ShowPopup("Caller %d", 1);
    HWND first = WaitForPopup("Caller 1");
    ASSERT_NE(nullptr, first);
    ShowPopup("Caller %d", 2);
    HWND second = WaitForPopup("Caller 2");
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(2, OpenPopupCount());

    std::vector<HWND> order = Popups();
    ASSERT_EQ(2u, order.size());
    EXPECT_EQ(second, order[0]) << "the newest popup is on top";
    EXPECT_EQ(first, order[1]);
    EXPECT_NE(GetWindowThreadProcessId(first, nullptr), GetWindowThreadProcessId(second, nullptr));
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(first, nullptr));

    RECT work = WorkArea();
    for (HWND window : {first, second}) {
        RECT rect = RectOf(window);
        EXPECT_EQ(work.right - 2, rect.right);
        EXPECT_EQ(work.bottom - 2, rect.bottom);
        LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        EXPECT_NE(0, exStyle & WS_EX_TOPMOST);
        EXPECT_NE(0, exStyle & WS_EX_TOOLWINDOW);
        LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        EXPECT_NE(0, style & WS_POPUP);
        EXPECT_EQ(0, style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
        EXPECT_NE(window, GetForegroundWindow()) << "a popup never takes the focus";
    }

    ASSERT_TRUE(AllClosed(5000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1900u) << "a lifetime of 2 is two ticks of a second";
    EXPECT_LT(elapsed, 5000u);
}

TEST_F(Popup, LifetimeZeroClosesAtTheFirstTick) {
    g_state.popupCloseSeconds = 0;
    DWORD start = GetTickCount();
    ShowPopup("%s", "Brief");
    ASSERT_NE(nullptr, WaitForPopup("Brief"));
    ASSERT_TRUE(AllClosed(3000));
    EXPECT_GE(GetTickCount() - start, 900u);
}

TEST_F(Popup, SwitchingPopupsOffClosesThemAtTheNextTick) {
    ShowPopup("%s", "Open one");
    ASSERT_NE(nullptr, WaitForPopup("Open one"));
    ShowPopup("%s", "Open two");
    ASSERT_NE(nullptr, WaitForPopup("Open two"));
    g_state.popupsEnabled = 0;
    EXPECT_TRUE(AllClosed(2500));
}

TEST_F(Popup, DisabledPopupsStartNoThread) {
    g_state.popupsEnabled = 0;
    int threadsBefore = ThreadsOfThisProcess();
    ShowPopup("%s", "Nobody sees this");
    ShowPopupFromStrings(IDS_ERROR, IDS_TWO_SERVERS);
    EXPECT_EQ(0, OpenPopupCount());
    Sleep(300);
    EXPECT_EQ(0, OpenPopupCount());
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(threadsBefore, ThreadsOfThisProcess());
    EXPECT_EQ(nullptr, FindWindowA(kPopupClassName, nullptr));
}

TEST_F(Popup, WindowTextIsTheFormattedText) {
    struct Case {
        std::function<void()> show;
        std::string expected;
    };
    const Case cases[] = {
        {[] { ShowPopup("%s\r\n%s", "Alice Example", "(555) 123 45 67"); }, "Alice Example\r\n(555) 123 45 67"},
        {[] { ShowPopup("%s\r\n%s", "", "(555) 987 65 43"); }, "\r\n(555) 987 65 43"},
        // A received text with format characters is shown as it came.
        {[] { ShowPopup("%s", "100% %s %n %d"); }, "100% %s %n %d"},
        {[] { ShowPopup("Line %d of %lu", 3, 7ul); }, "Line 3 of 7"},
        {[] { ShowPopup("%s", "One\r\nTwo\r\nThree"); }, "One\r\nTwo\r\nThree"},
    };
    for (const Case& c : cases) {
        c.show();
        HWND window = WaitForPopup(c.expected);
        ASSERT_NE(nullptr, window) << c.expected;
        PopupLayout layout = ExpectedLayout(c.expected.c_str());
        RECT rect = RectOf(window);
        EXPECT_EQ(layout.width, rect.right - rect.left) << c.expected;
        EXPECT_EQ(layout.height, rect.bottom - rect.top) << c.expected;
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(AllClosed(2000)) << c.expected;
    }
}

TEST_F(Popup, ShortTextGivesTheSmallestWindow) {
    ShowPopup("%s", "Hi");
    HWND window = WaitForPopup("Hi");
    ASSERT_NE(nullptr, window);
    RECT rect = RectOf(window);
    EXPECT_EQ(76, rect.right - rect.left);  // 50 of text, 4 + 4 of margin, a 16-pixel icon and 2
    EXPECT_GE(rect.bottom - rect.top, 24);
}

TEST_F(Popup, TextTooLongForTheFormatterIsCut) {
    std::string huge(5000, 'x');
    ShowPopup("%s", huge.c_str());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<HWND> shown = VisiblePopups();
            window = shown.empty() ? nullptr : shown[0];
            return window != nullptr;
        },
        3000));
    std::string text = TextOf(window);
    EXPECT_GE(text.size(), 1000u);
    EXPECT_LE(text.size(), 1024u);
    EXPECT_EQ(std::string(text.size(), 'x'), text);
}

TEST_F(Popup, TwoStringResourcesMakeTwoLines) {
    struct Case {
        UINT first;
        UINT second;
        const char* expected;
    };
    const Case cases[] = {
        {IDS_ERROR, IDS_TWO_SERVERS, "Error\r\nMore than one server is not allowed!"},
        {IDS_ERROR, IDS_CREATE_KEY_FAILED, "Error\r\nCould not create key in registry."},
        {9999, IDS_ERROR, "\r\nError"},  // a missing string is an empty line
    };
    for (const Case& c : cases) {
        ShowPopupFromStrings(c.first, c.second);
        HWND window = WaitForPopup(c.expected);
        ASSERT_NE(nullptr, window) << c.expected;
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(AllClosed(2000)) << c.expected;
    }
}

TEST_F(Popup, DoubleClickCloses) {
    for (UINT doubleClick : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK}) {
        ShowPopup("%s", "Click me twice");
        HWND window = WaitForPopup("Click me twice");
        ASSERT_NE(nullptr, window);
        EXPECT_NE(0u, GetClassLongPtrA(window, GCL_STYLE) & CS_DBLCLKS);
        EXPECT_NE(0u, GetClassLongPtrA(window, GCLP_HCURSOR)) << "the finder cursor";
        EXPECT_NE(0u, GetClassLongPtrA(window, GCLP_HICON));
        PostMessageA(window, doubleClick, 0, 0);
        EXPECT_TRUE(AllClosed(1000)) << doubleClick;
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(Popup, RealDoubleClickCloses) {
    ShowPopup("%s", "Click me twice");
    HWND window = WaitForPopup("Click me twice");
    ASSERT_NE(nullptr, window);
    RECT rect = RectOf(window);
    ASSERT_TRUE(MoveCursorTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    ASSERT_EQ(4u, SendInput(4, clicks, sizeof(INPUT)));
    EXPECT_TRUE(AllClosed(2000));
}

TEST_F(Popup, DragsWithEitherButton) {
    struct Case {
        UINT down;
        UINT up;
    };
    for (const Case& c : {Case{WM_LBUTTONDOWN, WM_LBUTTONUP}, Case{WM_RBUTTONDOWN, WM_RBUTTONUP}}) {
        ShowPopup("%s", "Drag me");
        HWND window = WaitForPopup("Drag me");
        ASSERT_NE(nullptr, window);
        RECT before = RectOf(window);
        POINT grab{(before.left + before.right) / 2, (before.top + before.bottom) / 2};
        ASSERT_TRUE(MoveCursorTo(grab.x, grab.y));
        PostMessageA(window, c.down, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return GetPropA(window, "p") != nullptr; }, 1000)) << c.down;
        ASSERT_TRUE(MoveCursorTo(grab.x - 100, grab.y - 60));
        // Moves are repeated while waiting: the window follows the cursor's last position, so a
        // move that the system itself sent on the way does no harm.
        ASSERT_TRUE(WaitUntil(
            [&] {
                PostMessageA(window, WM_MOUSEMOVE, 0, 0);
                return RectOf(window).left == before.left - 100;
            },
            1000))
            << c.down << " left " << RectOf(window).left << " expected " << before.left - 100;
        RECT after = RectOf(window);
        EXPECT_EQ(before.top - 60, after.top);
        EXPECT_EQ(before.right - before.left, after.right - after.left);
        EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
        PostMessageA(window, c.up, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return GetPropA(window, "p") == nullptr; }, 1000)) << c.up;
        // Without a drag the cursor no longer takes the window along.
        ASSERT_TRUE(MoveCursorTo(grab.x, grab.y));
        PostMessageA(window, WM_MOUSEMOVE, 0, 0);
        Sleep(100);
        EXPECT_EQ(after.left, RectOf(window).left);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(AllClosed(2000));
    }
}

TEST_F(Popup, SecondButtonEndsTheDrag) {
    ShowPopup("%s", "Drag me");
    HWND window = WaitForPopup("Drag me");
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return GetPropA(window, "p") != nullptr; }, 1000));
    PostMessageA(window, WM_RBUTTONDOWN, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetPropA(window, "p") == nullptr; }, 1000));
    // Closing during a drag frees the drag block with the window.
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return GetPropA(window, "p") != nullptr; }, 1000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(AllClosed(2000));
}

TEST_F(Popup, WaitForPopupsClosedReturnsOnceAllAreClosed) {
    g_state.popupCloseSeconds = 1;
    for (int i = 1; i <= 3; ++i) ShowPopup("Waiting %d", i);
    DWORD start = GetTickCount();
    WaitForPopupsClosed();
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(0, OpenPopupCount());
    EXPECT_TRUE(WaitUntil([] { return Popups().empty(); }, 500));
}

TEST_F(Popup, MissingFontIsStoredAsTheDefault) {
    // SetUp made the resources with no settings key at all.
    RawValue stored = ReadRaw("font");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    ASSERT_EQ(60u, stored.data.size());
    LOGFONTA expected{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof expected, &expected);
    EXPECT_EQ(0, memcmp(&expected, stored.data.data(), sizeof expected));
    LOGFONTA used = FontRecord(GetPopupFont());
    EXPECT_EQ(expected.lfHeight, used.lfHeight);
    EXPECT_STREQ(expected.lfFaceName, used.lfFaceName);
}

TEST_F(Popup, StoredFontIsUsed) {
    ShowPopup("%s", "Alice Example");
    HWND window = WaitForPopup("Alice Example");
    ASSERT_NE(nullptr, window);
    RECT small = RectOf(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(AllClosed(2000));

    LOGFONTA large{};
    large.lfHeight = -40;
    large.lfWeight = FW_BOLD;
    lstrcpynA(large.lfFaceName, "Courier New", LF_FACESIZE);
    PutRaw("font", REG_BINARY, &large, sizeof large);
    ASSERT_TRUE(CreatePopupResources());
    LOGFONTA used = FontRecord(GetPopupFont());
    EXPECT_EQ(-40, used.lfHeight);
    EXPECT_STREQ("Courier New", used.lfFaceName);
    RawValue stored = ReadRaw("font");
    ASSERT_EQ(60u, stored.data.size());
    EXPECT_EQ(0, memcmp(&large, stored.data.data(), sizeof large)) << "a stored font is left as it is";

    ShowPopup("%s", "Alice Example");
    window = WaitForPopup("Alice Example");
    ASSERT_NE(nullptr, window);
    RECT big = RectOf(window);
    EXPECT_GT(big.bottom - big.top, small.bottom - small.top);
    EXPECT_GT(big.right - big.left, small.right - small.left);
}

TEST_F(Popup, FontOfAnotherTypeIsReplaced) {
    PutRaw("font", REG_SZ, "Arial", 6);
    ASSERT_TRUE(CreatePopupResources());
    RawValue stored = ReadRaw("font");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    EXPECT_EQ(60u, stored.data.size());
}

TEST_F(Popup, ReplacedFontReleasesTheOldOne) {
    HFONT old = GetPopupFont();
    ASSERT_NE(nullptr, old);
    LOGFONTA record = FontRecord(old);
    record.lfHeight = -20;
    memset(record.lfFaceName, 'A', sizeof record.lfFaceName);  // no NUL: must not be read past
    HFONT made = ReplacePopupFont(record);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(made, GetPopupFont());
    EXPECT_EQ(0u, GetObjectType(old));
    EXPECT_EQ(-20, FontRecord(made).lfHeight);
    // A change of colours keeps the font the Popup Window page shows in its sample.
    ASSERT_TRUE(RecreatePopupResources());
    EXPECT_EQ(made, GetPopupFont());
}

TEST_F(Popup, PaintsColoursAndEdges) {
    g_state.popupBackColour = RGB(0x20, 0x40, 0xC0);
    ASSERT_TRUE(RecreatePopupResources());
    ShowPopup("%s", "Colours");
    HWND window = WaitForPopup("Colours");
    ASSERT_NE(nullptr, window);
    RECT rect = RectOf(window);
    HDC screen = GetDC(nullptr);
    auto pixel = [&](int x, int y) { return GetPixel(screen, rect.left + x, rect.top + y) & 0xFFFFFF; };
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    bool painted = WaitUntil([&] { return pixel(width - 3, height - 3) == RGB(0x20, 0x40, 0xC0); }, 2000);
    EXPECT_TRUE(painted) << std::hex << pixel(width - 3, height - 3);
    EXPECT_EQ(0xEFFFFFu, pixel(0, height / 2)) << "light left edge";
    EXPECT_EQ(0xEFFFFFu, pixel(width / 2, 0)) << "light top edge";
    EXPECT_EQ(0x808080u, pixel(width / 2, height - 1)) << "dark bottom edge";
    EXPECT_EQ(0x808080u, pixel(width - 1, height / 2)) << "dark right edge";
    ReleaseDC(nullptr, screen);
}

// A dialog in the place of the main window, counting the WM_HELP messages that reach it.
int g_helpCount;
bool g_helpHadInfo;

INT_PTR CALLBACK HelpCountingProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_HELP) return FALSE;
    ++g_helpCount;
    auto* info = reinterpret_cast<const HELPINFO*>(lParam);
    g_helpHadInfo = info != nullptr && info->cbSize == sizeof(HELPINFO);
    return TRUE;
}

HWND CreateHelpCountingDialog() {
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty{};
    empty.header.style = WS_POPUP;
    empty.header.cx = 40;
    empty.header.cy = 20;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &empty.header, nullptr, HelpCountingProc, 0);
}

void PumpDialog(HWND dialog) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

TEST_F(Popup, HelpGoesToTheMainWindow) {
    HWND mainWindow = CreateHelpCountingDialog();
    ASSERT_NE(nullptr, mainWindow);
    g_win.mainWindow = mainWindow;
    g_helpCount = 0;
    g_helpHadInfo = false;
    ShowPopup("%s", "Help");
    HWND window = WaitForPopup("Help");
    ASSERT_NE(nullptr, window);
    HELPINFO help{};
    help.cbSize = sizeof help;
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_TRUE(WaitUntil(
        [&] {
            PumpDialog(mainWindow);
            return g_helpCount > 0;
        },
        1000));
    EXPECT_EQ(1, g_helpCount);
    EXPECT_TRUE(g_helpHadInfo) << "the main window gets a HELPINFO of its own";

    // Without a main window the request goes nowhere and the popup stays as it was.
    g_win.mainWindow = nullptr;
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    Sleep(50);
    PumpDialog(mainWindow);
    EXPECT_EQ(1, g_helpCount);
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(mainWindow);
}

TEST_F(Popup, ThreadWithoutTextEndsAtOnce) {
    EXPECT_EQ(2u, PopupThread(nullptr));
    EXPECT_EQ(0, OpenPopupCount());
}

}  // namespace
