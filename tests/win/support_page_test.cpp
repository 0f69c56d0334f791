// Link labels and the Support page on this thread, under a plain parent window that records what
// its controls report. Colours are read from what a label paints; clicks come as real mouse input
// or as the messages a label receives. The bench's prefix records shell opens of web and mail
// addresses in C:\users\Public\opened.txt instead of starting a browser or mail program.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/home_page.h"
#include "base/product.h"
#include "base/win_state.h"
#include "tests/win/pump.h"
#include "ui/link_label.h"
#include "ui/link_state.h"
#include "ui/support_page.h"
#include "ui/support_page_ids.h"

namespace {

const char kOpenedFile[] = "C:\\users\\Public\\opened.txt";
const char kParentClass[] = "LinkLabelTestParent";
const char kMailAddress[] = "mailto:support@tellwire.quillex.example?subject=Tellwire%20v.1.2";

// The clicks the parent's controls reported, by identifier. (A label also reports being disabled
// and enabled again.)
std::vector<int> g_clicked;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0 && HIWORD(wParam) == STN_CLICKED) g_clicked.push_back(LOWORD(wParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Keeps handling messages for a while, so whatever would happen in that time does.
void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

std::vector<std::string> OpenedByShell() {
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(kOpenedFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string text(65536, '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            // The bench records each address in quotes, so that cmd reads an "&" in it as text.
            if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Waits for the first recorded open, then long enough for a second one to show up if there were one.
std::vector<std::string> OpenedAfterClicks() {
    PumpUntil([] { return !OpenedByShell().empty(); }, 20000);
    PumpFor(2500);
    return OpenedByShell();
}

bool MoveCursorTo(POINT at) {
    SetCursorPos(at.x, at.y);
    return PumpUntil(
        [&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
        },
        1000);
}

POINT CenterOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void SendClicks(int count) {
    std::vector<INPUT> input(count * 2);
    for (size_t i = 0; i < input.size(); ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// What a label shows: pixels in exactly the hot and the idle colour, and the longest run of
// hot-coloured pixels in one row (an underline spans the text).
struct Ink {
    int hot;
    int idle;
    int longestHotRun;
    int longestIdleRun;
};

// The label paints into a bitmap: through WM_PRINTCLIENT, or (onScreen) through its WM_PAINT
// on the display, copied from there.
Ink InkOf(HWND label, bool onScreen = false) {
    RECT client;
    GetClientRect(label, &client);
    int width = client.right;
    int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    if (onScreen) {
        RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC screen = GetDC(label);
        BitBlt(dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        ReleaseDC(label, screen);
    } else {
        SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    GdiFlush();
    Ink ink{};
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        int hotRun = 0;
        int idleRun = 0;
        for (int x = 0; x < width; ++x) {
            DWORD pixel = pixels[y * width + x] & 0xFFFFFF;  // 0xRRGGBB
            hotRun = pixel == 0xFF0000 ? hotRun + 1 : 0;
            idleRun = pixel == 0x000080 ? idleRun + 1 : 0;
            ink.hot += pixel == 0xFF0000;
            ink.idle += pixel == 0x000080;
            ink.longestHotRun = std::max(ink.longestHotRun, hotRun);
            ink.longestIdleRun = std::max(ink.longestIdleRun, idleRun);
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return ink;
}

int TextWidth(HWND label) {
    char text[256];
    GetWindowTextA(label, text, sizeof text);
    HFONT font = CreateLinkFont(true);
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    DeleteObject(font);
    return extent.right;
}

#define EXPECT_HOT(label)                                                                          \
    do {                                                                                           \
        Ink ink = InkOf(label);                                                                    \
        EXPECT_GT(ink.hot, 0) << "red text";                                                       \
        EXPECT_EQ(0, ink.idle) << "no navy";                                                       \
        EXPECT_GE(ink.longestHotRun, TextWidth(label) * 3 / 4) << "underlined";                    \
    } while (0)

#define EXPECT_IDLE(label)                                                                         \
    do {                                                                                           \
        Ink ink = InkOf(label);                                                                    \
        EXPECT_GT(ink.idle, 0) << "navy text";                                                     \
        EXPECT_EQ(0, ink.hot) << "no red";                                                         \
        EXPECT_LT(ink.longestIdleRun, TextWidth(label) / 2) << "not underlined";                   \
    } while (0)

BOOL CALLBACK DestroyChild(HWND child, LPARAM) {
    if (IsWindow(child)) DestroyWindow(child);
    return TRUE;
}

class LinkLabel : public testing::Test {
protected:
    // One shown parent for all tests of a suite: Wine waits up to 2 s for the display whenever
    // it takes a shown top-level window down.
    static void SetUpTestSuite() {
        g_win.instance = GetModuleHandleA(nullptr);
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = g_win.instance;
        parentClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        parentClass.lpszClassName = kParentClass;
        RegisterClassA(&parentClass);
        s_parent = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kParentClass, "links", WS_POPUP | WS_VISIBLE, 100,
                                   100, 560, 300, nullptr, nullptr, g_win.instance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(s_parent);
        Pump();
    }
    void SetUp() override {
        parent_ = s_parent;
        ASSERT_NE(nullptr, parent_);
        g_clicked.clear();
        DeleteFileA(kOpenedFile);
        Pump();
    }
    void TearDown() override {
        EnumChildWindows(parent_, DestroyChild, 0);
        Pump();
        DeleteFileA(kOpenedFile);
    }
    HWND AddStatic(int id, const char* text, int x, int y, int width = 300, int height = 20,
                   const char* className = "STATIC") {
        return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_win.instance, nullptr);
    }
    // The cursor somewhere no label of the test is; skips the test where it cannot be placed.
    bool CursorAway() { return MoveCursorTo({1200, 1000}); }

    static HWND s_parent;
    HWND parent_ = nullptr;
};
HWND LinkLabel::s_parent = nullptr;

TEST_F(LinkLabel, MakesAStaticControlALinkThatReportsClicks) {
    HWND label = AddStatic(5, "www.example.test", 10, 10);
    LONG style = GetWindowLongA(label, GWL_STYLE);
    MakeLinkLabel(parent_, 5, false);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(LinkLabelProc), GetWindowLongPtrA(label, GWLP_WNDPROC));
    EXPECT_EQ(style | SS_NOTIFY, GetWindowLongA(label, GWL_STYLE));
    EXPECT_EQ(HTCLIENT, SendMessageA(label, WM_NCHITTEST, 0, MAKELPARAM(110, 110)));  // it takes the mouse

    MakeLinkLabel(parent_, 5, false);  // once more: still one link, not a chain to itself
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(g_clicked.empty()) << "a click counts when the button comes up";
    SendMessageA(label, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(std::vector<int>{5}, g_clicked);
}

TEST_F(LinkLabel, OtherControlsAreLeftAlone) {
    HWND button = AddStatic(7, "Press", 10, 10, 80, 20, "BUTTON");
    HWND edit = AddStatic(8, "typed", 10, 40, 80, 20, "EDIT");
    for (HWND control : {button, edit}) {
        LONG_PTR proc = GetWindowLongPtrA(control, GWLP_WNDPROC);
        LONG style = GetWindowLongA(control, GWL_STYLE);
        MakeLinkLabel(parent_, GetDlgCtrlID(control), true);
        EXPECT_EQ(proc, GetWindowLongPtrA(control, GWLP_WNDPROC));
        EXPECT_EQ(style, GetWindowLongA(control, GWL_STYLE));
        RECT rect;
        GetClientRect(control, &rect);
        EXPECT_EQ(80, rect.right);
        EXPECT_EQ(20, rect.bottom);
    }
    MakeLinkLabel(parent_, 99, true);  // no such control
    MakeLinkLabel(nullptr, 7, true);
}

TEST_F(LinkLabel, FitsToItsTextPlusTwoKeepingItsCorner) {
    HWND label = AddStatic(5, "support@tellwire.quillex.example", 13, 27, 400, 60);
    int width = TextWidth(label);
    MakeLinkLabel(parent_, 5, true);
    RECT place;
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(13, place.left);
    EXPECT_EQ(27, place.top);
    EXPECT_EQ(width + 2, place.right - place.left);
    HFONT font = CreateLinkFont(true);
    TEXTMETRICA metrics{};
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    DeleteObject(font);
    EXPECT_EQ(metrics.tmHeight + 2, place.bottom - place.top);
}

TEST_F(LinkLabel, ClicksWithinTheLockOutAreIgnored) {
    HWND label = AddStatic(5, "www.example.test", 10, 10);
    MakeLinkLabel(parent_, 5, true);
    SendMessageA(label, WM_LBUTTONUP, 0, 0);
    DWORD clicked = GetTickCount();
    EXPECT_FALSE(IsWindowEnabled(label)) << "disabled right after the click";
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(label, WM_LBUTTONUP, 0, 0);  // sent, so it reaches the disabled label anyway
    SendMessageA(label, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    EXPECT_EQ(1u, g_clicked.size());

    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(label) != FALSE; }, 10000)) << "enabled again";
    DWORD locked = GetTickCount() - clicked;
    EXPECT_GE(locked, kLinkLockoutMs - 20);  // timers may round to the system's tick
    SendMessageA(label, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(2u, g_clicked.size());
}

TEST_F(LinkLabel, HotRedUnderlinedIdleNavy) {
    if (!CursorAway()) GTEST_SKIP() << "the cursor cannot be placed on this display";
    HWND a = AddStatic(10, "www.example.test", 10, 10);
    HWND b = AddStatic(11, "mail@example.test", 10, 50);
    MakeLinkLabel(parent_, 10, true);
    MakeLinkLabel(parent_, 11, true);
    EXPECT_IDLE(a);
    EXPECT_IDLE(b);
    {
        Ink shown = InkOf(a, true);  // the same through the label's own WM_PAINT
        EXPECT_GT(shown.idle, 0);
        EXPECT_EQ(0, shown.hot);
    }

    // The messages the system sends when the mouse comes over a label (no pumping in between,
    // so the hover check, which finds the cursor elsewhere, does not run yet).
    EXPECT_TRUE(SendMessageA(a, WM_SETCURSOR, reinterpret_cast<WPARAM>(a), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_HOT(a);
    EXPECT_IDLE(b);
    {
        Ink shown = InkOf(a, true);
        EXPECT_GT(shown.hot, 0);
        EXPECT_EQ(0, shown.idle);
    }
    SendMessageA(b, WM_SETCURSOR, reinterpret_cast<WPARAM>(b), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_IDLE(a);  // straight from one label onto the other
    EXPECT_HOT(b);

    // The cursor is not over b: its hover check turns it navy.
    EXPECT_TRUE(PumpUntil([&] { return InkOf(b).hot == 0; }, 2000));
    EXPECT_IDLE(b);
}

TEST_F(LinkLabel, FollowsTheRealPointer) {
    if (!CursorAway()) GTEST_SKIP() << "the cursor cannot be placed on this display";
    HWND a = AddStatic(10, "www.example.test", 10, 10);
    HWND b = AddStatic(11, "mail@example.test", 10, 50);
    MakeLinkLabel(parent_, 10, true);
    MakeLinkLabel(parent_, 11, true);
    Pump();
    ASSERT_TRUE(MoveCursorTo(CenterOf(a)));
    EXPECT_TRUE(PumpUntil([&] { return InkOf(a).hot > 0; }, 3000)) << "a turns red under the pointer";
    ASSERT_TRUE(MoveCursorTo(CenterOf(b)));
    EXPECT_TRUE(PumpUntil([&] { return InkOf(b).hot > 0; }, 3000)) << "b turns red under the pointer";
    EXPECT_IDLE(a);
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), GetCursor());
    ASSERT_TRUE(CursorAway());
    EXPECT_TRUE(PumpUntil([&] { return InkOf(b).hot == 0; }, 3000)) << "b navy once the pointer left";
    EXPECT_IDLE(a);
}

TEST_F(LinkLabel, DrawsTextWhereTheStaticStyleWouldPlaceIt) {
    struct Case {
        DWORD style;
        int inkFrom;  // the first column with ink lies at or after this one
        int inkBefore;
    };
    const Case cases[] = {{SS_LEFT, 0, 30}, {SS_CENTER, 70, 130}, {SS_RIGHT, 170, 200}};
    for (const Case& c : cases) {
        HWND label = AddStatic(20, "iiii", 0, 0, 200, 30);
        SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | static_cast<LONG>(c.style));
        MakeLinkLabel(parent_, 20, false);
        RECT client;
        GetClientRect(label, &client);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, 200, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        int first = -1;
        for (int x = 0; x < 200 && first < 0; ++x) {
            for (int y = 0; y < 30; ++y) {
                if ((static_cast<const DWORD*>(bits)[y * 200 + x] & 0xFFFFFF) == 0x000080) first = x;
            }
        }
        EXPECT_GE(first, c.inkFrom) << c.style;
        EXPECT_LT(first, c.inkBefore) << c.style;
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        DestroyWindow(label);
    }
}

class SupportPage : public LinkLabel {
protected:
    void SetUp() override {
        LinkLabel::SetUp();
        page_ = CreateSupportPage(parent_);
        ASSERT_NE(nullptr, page_);
        ShowWindow(page_, SW_SHOW);
        UpdateWindow(parent_);
        Pump();
    }
    std::string Text(int id) {
        char text[256];
        GetDlgItemTextA(page_, id, text, sizeof text);
        return text;
    }
    HWND Control(int id) { return GetDlgItem(page_, id); }
    HWND page_ = nullptr;
};

TEST_F(SupportPage, ShowsNameVersionReleaseDateAndLinks) {
    EXPECT_EQ("Tellwire v1.2", Text(IDC_SUPPORT_VERSION));
    EXPECT_EQ("Jan  6 2007 - 12:28:35", Text(IDC_SUPPORT_RELEASE_DATE));
    EXPECT_EQ(kHomePageAddress, Text(IDC_SUPPORT_WEBSITE));
    EXPECT_EQ(kSupportAddress, Text(IDC_SUPPORT_EMAIL));
    for (int id : {IDC_SUPPORT_WEBSITE, IDC_SUPPORT_EMAIL}) {
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(LinkLabelProc), GetWindowLongPtrA(Control(id), GWLP_WNDPROC)) << id;
        RECT rect;
        GetClientRect(Control(id), &rect);
        EXPECT_EQ(TextWidth(Control(id)) + 2, rect.right) << id;
    }
    LOGFONTA normal{};
    LOGFONTA title{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof normal, &normal);
    auto font = reinterpret_cast<HFONT>(SendMessageA(Control(IDC_SUPPORT_VERSION), WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    GetObjectA(font, sizeof title, &title);
    EXPECT_EQ(normal.lfHeight * 2, title.lfHeight);
    EXPECT_EQ(normal.lfWidth * 2, title.lfWidth);
}

TEST_F(SupportPage, ClickingTheWebsiteTwiceQuicklyOpensItOnce) {
    if (!CursorAway()) GTEST_SKIP() << "the cursor cannot be placed on this display";
    HWND website = Control(IDC_SUPPORT_WEBSITE);
    ASSERT_TRUE(MoveCursorTo(CenterOf(website)));
    DWORD clicked = GetTickCount();
    SendClicks(2);  // a double click
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowEnabled(website); }, 3000)) << "disabled by the click";
    PumpFor(400);
    SendClicks(1);  // and one more, still inside the second after the first
    EXPECT_EQ(std::vector<std::string>{kHomePageAddress}, OpenedAfterClicks());
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(website) != FALSE; }, 10000)) << "enabled again";
    EXPECT_GE(GetTickCount() - clicked, kLinkLockoutMs - 20);
    CursorAway();
}

TEST_F(SupportPage, TheMailLinkOpensAMailToSupport) {
    HWND mail = Control(IDC_SUPPORT_EMAIL);
    SendMessageA(mail, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(mail, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(std::vector<std::string>{kMailAddress}, OpenedAfterClicks());
}

TEST_F(SupportPage, TheTitleFontGoesWithThePage) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(Control(IDC_SUPPORT_VERSION), WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    DestroyWindow(page_);
    LOGFONTA left{};
    EXPECT_EQ(0, GetObjectA(font, sizeof left, &left)) << "deleted";
}

}  // namespace
