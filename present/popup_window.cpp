#include "present/popup_window.h"

#include <atomic>
#include <cstdarg>
#include <cstring>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/product.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "base/win_state.h"
#include "present/popup_layout.h"
#include "res/resource_ids.h"

namespace {

// Window properties of a popup: its timer ticks so far, and while a drag is on, the drag block
// (where the cursor and the window were when it began).
constexpr char kTicksProperty[] = "tm";
constexpr char kDragProperty[] = "p";

// Measuring uses the same font and no other flag, so the window is as wide as the widest line.
constexpr UINT kMeasureFlags = DT_CALCRECT;
// Tabs keep their columns; a word that no longer fits (the font changed while the popup was
// open) ends in an ellipsis instead of running over the edge.
constexpr UINT kDrawFlags = DT_TABSTOP | DT_WORD_ELLIPSIS;
constexpr COLORREF kLightEdge = 0xEFFFFF;
constexpr COLORREF kDarkEdge = 0x808080;

static_assert(sizeof(LOGFONTA) == 60, "the \"font\" value is one 60-byte LOGFONTA");

// The drawing objects every popup shares. The user-interface thread makes and replaces them
// (start-up, the Popup Window page); popup threads draw with them. A replacement is made outside
// the lock, swapped in under the exclusive lock and the old objects released after it, so a
// popup that is painting never sees an object deleted under it, and a painter holds the shared
// lock only while it paints.
struct PopupResources {
    HFONT font;
    HBRUSH background;
    HPEN lightPen;
    HPEN darkPen;
    HICON largeIcon;
    HICON smallIcon;
};
SRWLOCK s_resourcesLock = SRWLOCK_INIT;
PopupResources s_resources;  // guarded by s_resourcesLock

// Popup threads started and not yet ended; ShowPopup and the threads change it, anyone reads it.
std::atomic<LONG> s_openPopups{0};

HINSTANCE ResourceModule() { return g_win.instance != nullptr ? g_win.instance : GetModuleHandleA(nullptr); }

// The stored font when the value is binary; otherwise the default GUI font, whose record is
// stored so the Popup Window page's font chooser starts from what the popups show.
HFONT MakePopupFont() {
    LOGFONTA record;
    bool stored = ReadSetting(kSettingFont.name, &record, sizeof record) == REG_BINARY;
    if (stored) {
        record.lfFaceName[LF_FACESIZE - 1] = '\0';  // a hand-edited value may lack the NUL
        HFONT font = CreateFontIndirectA(&record);
        if (font != nullptr) return font;
    }
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof record, &record) != sizeof record) return nullptr;
    if (!stored) WriteSetting(kSettingFont.name, &record, sizeof record, REG_BINARY);
    // A font of our own rather than the stock object, so every popup font is released alike.
    return CreateFontIndirectA(&record);
}

HICON LoadPopupIcon(int size) {
    return static_cast<HICON>(
        LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDI_RING_B), IMAGE_ICON, size, size, 0));
}

// The font has a life of its own (the font chooser replaces it); the rest is made anew.
PopupResources MakeResources(HFONT font) {
    return PopupResources{font,
                          CreateSolidBrush(g_state.popupBackColour),
                          CreatePen(PS_SOLID, 1, kLightEdge),
                          CreatePen(PS_SOLID, 1, kDarkEdge),
                          LoadPopupIcon(kPopupLargeIconSize),
                          LoadPopupIcon(kPopupSmallIconSize)};
}

// Swaps in a fresh set around font and releases the old one, its font too unless it is kept.
bool InstallResources(HFONT font) {
    PopupResources fresh = MakeResources(font);
    AcquireSRWLockExclusive(&s_resourcesLock);
    PopupResources old = s_resources;
    s_resources = fresh;
    ReleaseSRWLockExclusive(&s_resourcesLock);
    // The calls refuse a missing object (nullptr) harmlessly.
    if (old.font != font) DeleteObject(old.font);
    DeleteObject(old.background);
    DeleteObject(old.lightPen);
    DeleteObject(old.darkPen);
    DestroyIcon(old.largeIcon);
    DestroyIcon(old.smallIcon);
    return fresh.font != nullptr && fresh.background != nullptr && fresh.lightPen != nullptr &&
           fresh.darkPen != nullptr && fresh.largeIcon != nullptr && fresh.smallIcon != nullptr;
}

// A painter's view of the shared objects; the shared lock is held from Lock to Unlock.
const PopupResources& LockResources() {
    AcquireSRWLockShared(&s_resourcesLock);
    return s_resources;
}

void UnlockResources() { ReleaseSRWLockShared(&s_resourcesLock); }

// Reads the window's text into text, selects the popup font into dc and measures the text; the
// caller restores dc.
PopupLayout MeasurePopup(HWND window, HDC dc, char (&text)[kPopupTextSize], const PopupResources& resources) {
    GetWindowTextA(window, text, sizeof text);
    if (resources.font != nullptr) SelectObject(dc, resources.font);
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &extent, kMeasureFlags);
    PopupMeasure measure{extent.right - extent.left, extent.bottom - extent.top, resources.largeIcon != nullptr,
                         resources.smallIcon != nullptr};
    return ComputePopupLayout(measure);
}

PopupRect ReadWorkArea() {
    RECT area;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        PopupRect workArea{area.left, area.top, area.right, area.bottom};
        return ChoosePopupWorkArea(&workArea, 0, 0);
    }
    return ChoosePopupWorkArea(nullptr, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// Forgets the drag. The capture is released only when we still hold it.
PopupDrag* DragOf(HWND window) { return static_cast<PopupDrag*>(GetPropA(window, kDragProperty)); }

void DropDrag(HWND window, bool releaseCapture) {
    HANDLE block = RemovePropA(window, kDragProperty);
    if (block == nullptr) return;
    LocalFree(block);
    if (releaseCapture && GetCapture() == window) ReleaseCapture();
}

void StartDrag(HWND window) {
    POINT cursor;
    RECT rect;
    if (!GetCursorPos(&cursor) || !GetWindowRect(window, &rect)) return;
    auto* drag = static_cast<PopupDrag*>(LocalAlloc(LPTR, sizeof(PopupDrag)));
    if (drag == nullptr) return;
    *drag = PopupDrag{cursor.x, cursor.y, PopupRect{rect.left, rect.top, rect.right, rect.bottom}};
    if (!SetPropA(window, kDragProperty, drag)) {
        LocalFree(drag);
        return;
    }
    SetCapture(window);
}

// Two edges in one stroke; like a line drawn to a point, the last point is left out.
void DrawEdges(HDC dc, HPEN pen, const POINT (&corners)[3]) {
    if (pen == nullptr) return;
    SelectObject(dc, pen);
    Polyline(dc, corners, 3);
}

// Sizes the window for its text, puts it in the corner of the work area on top of every other
// window without activating it, and shows it.
void PlacePopup(HWND window) {
    HDC dc = GetDC(window);
    if (dc == nullptr) return;
    char text[kPopupTextSize];
    int saved = SaveDC(dc);
    PopupLayout layout = MeasurePopup(window, dc, text, LockResources());
    RestoreDC(dc, saved);
    UnlockResources();
    ReleaseDC(window, dc);
    PopupRect to = PopupCornerRect(layout, ReadWorkArea());
    // Shown by the same call the first time; once visible, its place among the topmost windows
    // stays, so a newer popup is not pushed under an older one that is resized.
    UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_ASYNCWINDOWPOS;
    flags |= IsWindowVisible(window) ? SWP_NOZORDER : SWP_SHOWWINDOW;
    SetWindowPos(window, HWND_TOPMOST, to.left, to.top, to.right - to.left, to.bottom - to.top, flags);
    InvalidateRect(window, nullptr, TRUE);
}

void PaintPopup(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    char text[kPopupTextSize];
    int saved = SaveDC(dc);
    const PopupResources& resources = LockResources();
    PopupLayout layout = MeasurePopup(window, dc, text, resources);
    if (resources.background != nullptr) FillRect(dc, &paint.rcPaint, resources.background);
    int right = layout.width - 1;
    int bottom = layout.height - 1;
    DrawEdges(dc, resources.lightPen, {{0, layout.height}, {0, 0}, {layout.width, 0}});  // left and top
    DrawEdges(dc, resources.darkPen, {{0, bottom}, {right, bottom}, {right, 0}});      // bottom and right
    RECT client;
    GetClientRect(window, &client);
    PopupRect area = PopupTextRect(layout, PopupRect{client.left, client.top, client.right, client.bottom});
    RECT textRect{area.left, area.top, area.right, area.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, g_state.popupTextColour);
    DrawTextA(dc, text, -1, &textRect, kDrawFlags);
    if (layout.iconShown) {
        HICON icon = layout.largeIcon ? resources.largeIcon : resources.smallIcon;
        DrawIconEx(dc, kPopupMargin, kPopupMargin, icon, layout.iconSize, layout.iconSize, 0, nullptr, DI_NORMAL);
    }
    RestoreDC(dc, saved);
    UnlockResources();
    EndPaint(window, &paint);
}

// Without its timer a popup would stay until the user closed it, and the end of the program
// would wait for that: such a window is not made at all (-1).
LRESULT OnCreate(HWND window) {
    if (SetTimer(window, TIMER_POPUP_CLOSE, kPopupTickMs, nullptr) == 0) return -1;
    PlacePopup(window);
    return 0;
}

void OnTimer(HWND window, WPARAM timer) {
    if (timer != TIMER_POPUP_CLOSE) return;
    auto ticks = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(GetPropA(window, kTicksProperty))) + 1;
    // A count that cannot be kept would keep the popup open for ever: it closes instead.
    bool counted = SetPropA(window, kTicksProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(ticks)));
    if (counted && !PopupTickCloses(ticks, g_state.popupCloseSeconds, g_state.popupsEnabled)) return;
    KillTimer(window, TIMER_POPUP_CLOSE);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Either button starts a drag; a second press while one is under way ends it.
void OnButtonDown(HWND window) {
    if (DragOf(window) != nullptr) {
        DropDrag(window, true);
        return;
    }
    StartDrag(window);
}

void OnMouseMove(HWND window) {
    const PopupDrag* drag = DragOf(window);
    POINT cursor;
    if (drag == nullptr || !GetCursorPos(&cursor)) return;
    PopupRect to = DragPopupRect(*drag, cursor.x, cursor.y);
    MoveWindow(window, to.left, to.top, to.right - to.left, to.bottom - to.top, TRUE);
}

// Someone else took the mouse (a menu, a message box): the drag is over, the capture is gone.
void OnCaptureChanged(HWND window, LPARAM newOwner) {
    if (reinterpret_cast<HWND>(newOwner) != window) DropDrag(window, false);
}

void OnEndSession(HWND window, WPARAM ending) {
    if (ending) PostMessageA(window, WM_CLOSE, 0, 0);
}

void OnDestroy(HWND window) {
    DropDrag(window, true);
    KillTimer(window, TIMER_POPUP_CLOSE);
    RemovePropA(window, kTicksProperty);
    PostQuitMessage(0);
}

// Help for a popup is the program's help at the popups' section, which the main window opens.
// WM_HELP itself cannot be passed on without waiting: it carries a pointer, so the system refuses
// to post it (ERROR_MESSAGE_SYNC_ONLY), and sending it would make the popup wait on the main
// window; the command that asks for the section is posted.
void OnHelp() {
    HWND mainWindow = g_win.mainWindow;
    if (mainWindow != nullptr) PostMessageA(mainWindow, WM_COMMAND, CMD_SHOW_HELP, kHelpFromCallPopup);
}

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: PaintPopup(window); return 0;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: OnButtonDown(window); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: DropDrag(window, true); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(window, lParam); return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: PostMessageA(window, WM_CLOSE, 0, 0); return 0;
    case WM_ENDSESSION: OnEndSession(window, wParam); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_HELP: OnHelp(); return TRUE;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RegisterPopupClass() {
    WNDCLASSA popupClass{};
    popupClass.style = CS_DBLCLKS;
    popupClass.lpfnWndProc = PopupWindowProc;
    popupClass.hInstance = ResourceModule();
    // The module's shared copies, which live as long as the module: the class outlives any one
    // set of drawing objects, whose icons are destroyed when the set is replaced.
    popupClass.hIcon = LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDI_RING_B));
    popupClass.hCursor = LoadCursorA(ResourceModule(), MAKEINTRESOURCEA(IDC_FINDER));
    popupClass.lpszClassName = kPopupClassName;
    // Every popup thread registers; all but the first find the class there, which is fine.
    RegisterClassA(&popupClass);
}

// The thread of one popup. Its parameter is a LocalAlloc'd text, which it frees. Returns 0, 1 when
// the window could not be made, 2 without a text.
DWORD WINAPI PopupThread(void* text) {
    if (text == nullptr) return 2;
    RegisterPopupClass();
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kPopupClassName, static_cast<const char*>(text), WS_POPUP, 0, 0,
                                  0, 0, nullptr, nullptr, ResourceModule(), nullptr);
    MSG message;
    while (window != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    LocalFree(text);
    --s_openPopups;
    return window != nullptr ? 0 : 1;
}

void StartPopupThread(const char* text) {
    size_t length = strnlen(text, kPopupTextSize - 1);
    char* block = static_cast<char*>(LocalAlloc(LPTR, length + 2));
    if (block == nullptr) return;
    CopyText(block, length + 2, text);
    ++s_openPopups;
    OwnedHandle thread(CreateThread(nullptr, 0, PopupThread, block, 0, nullptr));
    if (thread) return;  // nobody waits for one popup; the count tells when all have ended
    LocalFree(block);
    --s_openPopups;
}

}  // namespace

void ShowPopup(const char* format, ...) {
    if (format == nullptr || g_state.popupsEnabled < 1) return;
    char text[kPopupTextSize] = "";
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);  // never writes more than 1025 bytes
    va_end(args);
    text[kPopupTextSize - 1] = '\0';
    StartPopupThread(text);
}

void ShowPopupFromStrings(UINT firstId, UINT secondId) {
    if (g_state.popupsEnabled < 1) return;
    char first[kPopupJoinedSize] = "";
    char second[kPopupJoinedSize] = "";
    LoadStringA(ResourceModule(), firstId, first, sizeof first);
    LoadStringA(ResourceModule(), secondId, second, sizeof second);
    char joined[kPopupJoinedSize];
    JoinPopupLines(joined, sizeof joined, first, second);
    ShowPopup("%s", joined);
}

bool CreatePopupResources() { return InstallResources(MakePopupFont()); }

// Only the user-interface thread replaces the font, so the one read here is still current.
bool RecreatePopupResources() { return InstallResources(GetPopupFont()); }

HFONT GetPopupFont() {
    HFONT font = LockResources().font;
    UnlockResources();
    return font;
}

HFONT ReplacePopupFont(const LOGFONTA& record) {
    LOGFONTA terminated = record;
    terminated.lfFaceName[LF_FACESIZE - 1] = '\0';
    HFONT font = CreateFontIndirectA(&terminated);
    if (font == nullptr) return nullptr;
    AcquireSRWLockExclusive(&s_resourcesLock);
    HFONT old = s_resources.font;
    s_resources.font = font;
    ReleaseSRWLockExclusive(&s_resourcesLock);
    DeleteObject(old);
    return font;
}

void WaitForPopupsClosed() {
    while (s_openPopups != 0) Sleep(10);
}

LONG OpenPopupCount() { return s_openPopups; }
