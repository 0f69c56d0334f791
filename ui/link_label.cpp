#include "ui/link_label.h"

#include "base/compare_text.h"
#include "base/unique_handle.h"
#include "ui/link_state.h"

namespace {

// The static control class's own procedure. Every link label is a static control, so one value
// serves them all. Like the hot link, only the user-interface thread touches it.
WNDPROC s_staticProc = nullptr;
HotLink s_hot{};

// Each label's lock-out record, from the local heap, freed when the label goes.
const char kLockoutProperty[] = "LinkLockout";

constexpr int kPaintedChars = 256;
constexpr int kMeasuredChars = 512;

LinkId IdOf(HWND label) { return reinterpret_cast<LinkId>(label); }

void Repaint(LinkId label) {
    if (label != 0) InvalidateRect(reinterpret_cast<HWND>(label), nullptr, TRUE);
}

LinkLockout* LockoutOf(HWND label) { return static_cast<LinkLockout*>(GetPropA(label, kLockoutProperty)); }

LRESULT PassOn(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(s_staticProc, label, message, wParam, lParam);
}

bool IsStaticControl(HWND control) {
    // The whole name: a buffer just big enough for "STATIC" would cut a longer name to a match.
    char className[256];
    int length = GetClassNameA(control, className, sizeof className);
    static const char kStatic[] = "STATIC";
    return length == sizeof kStatic - 1 && CompareTextNoCase(className, length, kStatic, length) == 0;
}

UINT TextFormat(const char* text, DWORD style) {
    static const UINT kAlignments[] = {DT_LEFT, DT_CENTER, DT_RIGHT, DT_LEFT};
    UINT format = kAlignments[style & 3];
    bool oneLine = true;
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at == '\n') oneLine = false;
    }
    if (oneLine) format |= DT_SINGLELINE;
    // Only a single line can be centred vertically.
    if (oneLine && (style & SS_CENTERIMAGE) != 0) format |= DT_VCENTER;
    if ((style & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
    // A path too long for the label loses its middle, the way a static control shows it.
    if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS) format |= DT_PATH_ELLIPSIS;
    return format;
}

void PaintLabel(HWND label, HDC dc) {
    RECT client;
    GetClientRect(label, &client);
    char text[kPaintedChars + 1];
    GetWindowTextA(label, text, sizeof text);
    bool hot = s_hot.label == IdOf(label);
    OwnedFont font(CreateLinkFont(hot));
    HGDIOBJ previous = font ? SelectObject(dc, font.get()) : nullptr;
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, hot ? kLinkHotColour : kLinkIdleColour);
    DrawLinkText(dc, &client, text, static_cast<DWORD>(GetWindowLongA(label, GWL_STYLE)));
    if (previous != nullptr) SelectObject(dc, previous);
}

void OnPaint(HWND label) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    if (dc != nullptr) PaintLabel(label, dc);
    EndPaint(label, &paint);
}

void OnSetCursor(HWND label) {
    SetTimer(label, kHoverTimerId, kHoverCheckMs, nullptr);
    HotChange change = EnterLinkLabel(&s_hot, IdOf(label));
    Repaint(change.repaintFormer);
    Repaint(change.repaintLabel);
    SetCursor(LoadCursor(nullptr, IDC_HAND));
}

// A static control hears nothing when the mouse leaves it, so the hot label watches the pointer.
void OnHoverCheck(HWND label) {
    POINT at{};
    RECT client{};
    bool inside = GetCursorPos(&at) && ScreenToClient(label, &at) && GetClientRect(label, &client) &&
                  PtInRect(&client, at);
    HoverCheck check = CheckLinkHover(&s_hot, IdOf(label), inside, IsWindowEnabled(label) != FALSE);
    if (check.stopTimer) KillTimer(label, kHoverTimerId);
    Repaint(check.repaint);
}

void OnLockoutOver(HWND label) {
    EnableWindow(label, TRUE);
    KillTimer(label, kEnableTimerId);
    LinkLockout* lockout = LockoutOf(label);
    if (lockout != nullptr) EndLinkLockout(lockout);
    Repaint(IdOf(label));
}

// The label reports the click itself, at button-up and only outside the lock-out. Left to the
// static control, the click would be reported at button-down (so it does on Wine), before the
// lock-out could start, and a click sent while the label is disabled would still get through.
void OnClick(HWND label) {
    LinkLockout* lockout = LockoutOf(label);
    if (lockout == nullptr || !TakeLinkClick(lockout, GetTickCount())) return;
    // Locked before the dialog acts: opening a browser can take a while and handle messages.
    EnableWindow(label, FALSE);
    SetTimer(label, kEnableTimerId, kLinkLockoutMs, nullptr);
    Repaint(IdOf(label));
    SendMessageA(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
}

void OnGone(HWND label) {
    KillTimer(label, kHoverTimerId);
    KillTimer(label, kEnableTimerId);
    ForgetLinkLabel(&s_hot, IdOf(label));
    HANDLE lockout = RemovePropA(label, kLockoutProperty);
    if (lockout != nullptr) LocalFree(lockout);
}

}  // namespace

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (!IsWindowEnabled(label)) break;  // a disabled label looks like any disabled text
        OnPaint(label);
        return 0;
    case WM_PRINTCLIENT:
        if (!IsWindowEnabled(label)) break;
        PaintLabel(label, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETCURSOR: OnSetCursor(label); return TRUE;
    case WM_TIMER:
        if (wParam == kHoverTimerId) {
            OnHoverCheck(label);
            return 0;
        }
        if (wParam == kEnableTimerId) {
            OnLockoutOver(label);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return 0;  // the click counts at button-up (OnClick)
    case WM_LBUTTONUP: OnClick(label); return 0;
    case WM_NCDESTROY: OnGone(label); break;
    default: break;
    }
    return PassOn(label, message, wParam, lParam);
}

void MakeLinkLabel(HWND dialog, int id, bool fit) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr || !IsStaticControl(control)) return;
    if (LockoutOf(control) == nullptr) {  // not a link label yet: a second call must not chain to itself
        void* lockout = LocalAlloc(LPTR, sizeof(LinkLockout));
        if (lockout == nullptr) return;
        if (!SetPropA(control, kLockoutProperty, lockout)) {
            LocalFree(lockout);
            return;
        }
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc)));
        if (s_staticProc == nullptr) s_staticProc = previous;
    }
    // A static control tells its dialog about clicks, and takes the mouse at all, only with it.
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY);
    if (fit) FitLinkLabel(control);
    InvalidateRect(control, nullptr, TRUE);
}

void FitLinkLabel(HWND control) {
    OwnedFont font(CreateLinkFont(true));
    if (!font) return;
    char text[kMeasuredChars + 1];
    GetWindowTextA(control, text, sizeof text);
    UINT format = TextFormat(text, static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)));
    RECT extent{0, 0, 0, 0};
    HDC dc = GetDC(control);
    if (dc != nullptr) {
        HGDIOBJ previous = SelectObject(dc, font.get());
        DrawTextA(dc, text, -1, &extent, (format & ~(DT_CENTER | DT_RIGHT | DT_VCENTER)) | DT_CALCRECT);
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
    }
    font.reset();
    int height = extent.bottom - extent.top;
    if (height == 0) return;
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(control, place.left, place.top, extent.right - extent.left + 2, height + 2, TRUE);
}

HFONT CreateLinkFont(bool underline) {
    LOGFONTA font{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0) return nullptr;
    font.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectA(&font);
}

void DrawLinkText(HDC dc, RECT* rect, const char* text, DWORD style) {
    if (dc == nullptr || rect == nullptr || text == nullptr) return;
    DrawTextA(dc, text, -1, rect, TextFormat(text, style));
}
