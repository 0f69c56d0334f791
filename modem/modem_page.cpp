#include "modem/modem_page.h"

#include <cstring>
#include <initializer_list>

#include "base/roles.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "modem/modem_page_ids.h"
#include "modem/port_monitor.h"
#include "modem/port_settings_store.h"
#include "modem/window_list.h"
#include "res/resource_ids.h"
#include "ui/choice_list.h"
#include "ui/dialog_page.h"
#include "ui/enable_controls.h"

namespace {

constexpr char kMonitorProperty[] = "th";
constexpr char kChangedProperty[] = "ch";
constexpr int kEntryTextSize = 256;  // compatibility texts: 255 characters

constexpr DWORD kByteSizes[] = {5, 6, 7, 8};
constexpr DWORD kBaudRates[] = {460800, 256000, 230400, 128000, 115200, 57600, 56000, 38400, 19200,
                                14400,  9600,   4800,   2400,   1200,   600,   300,   110};
// The stored values are the DCB's parity and stop-bit codes.
constexpr TextPair kParities[] = {{"Even", 2}, {"Mark", 3}, {"No parity", 0}, {"Odd", 1}, {"Space", 4}};
constexpr TextPair kStopBits[] = {{"1 stop bit", 0}, {"1.5 stop bits", 1}, {"2 stop bits", 2}};
// The modem's commands, each in an editable combo box.
struct CommandField {
    int id;
    char (PortSettings::*text)[kModemCommandSize];
    std::initializer_list<const char*> suggestions;  // what is stored is whatever the edit field holds
};
const CommandField kCommandFields[] = {
    {IDC_MODEM_INIT, &PortSettings::init, {"ATZ"}},
    // The caller-ID switches of the common modem chip sets (Rockwell, US Robotics, ITU V.253,
    // Motorola, Lucent and others).
    {IDC_MODEM_CALLER_ID,
     &PortSettings::cid,
     {"AT#CID=1", "AT#CLS=8#CID=1", "AT#CID=2", "AT#CC1", "AT+VCID=1", "AT+FCLASS=8;+VCID=1", "AT*ID1", "AT%CCID=1",
      "AT%CCID=2", "AT%CCID=3"}},
    // How a blocked call is hung up on: the line is taken, then put down again. Most modems take
    // it with "ATH1"; some only answer it ("ATA").
    {IDC_MODEM_HANGUP1, &PortSettings::hangup1, {"ATH1", "ATA"}},
    {IDC_MODEM_HANGUP2, &PortSettings::hangup2, {"ATH0", "ATZ"}},
};

// The window finder: one drag at a time for all Modem pages. Only the user-interface thread
// touches it.
struct WindowFinder {
    HCURSOR cursor;
    bool dragging;
    HWND framed;   // the window whose frame is drawn inverted, nullptr when none is
    HWND pointed;  // the top-level window last sent to the page, nullptr for none or our own
};
WindowFinder s_finder;

void MarkChanged(HWND page) { SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(1)); }

uint32_t IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0; }

// The check box decides which controls are enabled.
void PostEnableControls(HWND page) {
    PostMessageA(page, WM_COMMAND, CMD_ENABLE_CONTROLS, IsChecked(page, IDC_MODEM_ENABLED));
}

void ShowPortSettings(HWND page, const PortSettings& settings) {
    CheckDlgButton(page, IDC_MODEM_ENABLED, settings.enabled != 0 ? BST_CHECKED : BST_UNCHECKED);
    PostEnableControls(page);
    SelectChoiceByData(page, IDC_MODEM_BYTE_SIZE, settings.byte_size);
    SelectChoiceByData(page, IDC_MODEM_BAUD_RATE, settings.baud_rate);
    SelectChoiceByData(page, IDC_MODEM_PARITY, settings.parity);
    SelectChoiceByData(page, IDC_MODEM_STOP_BITS, settings.stop_bits);
    for (const CommandField& field : kCommandFields) SetDlgItemTextA(page, field.id, settings.*field.text);
    CheckDlgButton(page, IDC_MODEM_EARLY, settings.early != 0 ? BST_CHECKED : BST_UNCHECKED);
    for (const char* text = settings.wnd; *text != '\0'; text = NextWindowText(text)) {
        AddChoice(page, IDC_MODEM_WINDOWS, text, 0);
    }
}

void FillChoices(HWND page) {
    for (DWORD size : kByteSizes) AddChoiceNumber(page, IDC_MODEM_BYTE_SIZE, size);
    for (const TextPair& parity : kParities) AddChoicePair(page, IDC_MODEM_PARITY, parity);
    for (DWORD rate : kBaudRates) AddChoiceNumber(page, IDC_MODEM_BAUD_RATE, rate);
    for (const TextPair& stopBits : kStopBits) AddChoicePair(page, IDC_MODEM_STOP_BITS, stopBits);
    for (const CommandField& field : kCommandFields) {
        for (const char* command : field.suggestions) AddChoice(page, field.id, command, 0);
        // No more typed than the settings keep.
        SendDlgItemMessageA(page, field.id, CB_LIMITTEXT, kModemCommandSize - 1, 0);
    }
    SendDlgItemMessageA(page, IDC_MODEM_WINDOWS, CB_LIMITTEXT, kEntryTextSize - 1, 0);
}

BOOL OnInitDialog(HWND page, LPARAM parameter) {
    int port = static_cast<int>(parameter);
    if (port < 1 || port > 4) {
        LogPrintf("ModemWindowProc(WM_INITDIALOG) - lParam=%d\n", port);
        PostMessageA(page, WM_CLOSE, 0, 0);
        return FALSE;
    }
    if (s_finder.cursor == nullptr) s_finder.cursor = LoadCursorA(g_win.instance, MAKEINTRESOURCEA(IDC_FINDER));
    FillChoices(page);
    // In role 1 the page starts disabled; CMD_ROLE_CHANGED decides again when the role changes.
    EnableWindow(GetDlgItem(page, IDC_MODEM_ENABLED), RoleUsesModem() != 0);
    SetDlgItemInt(page, IDC_MODEM_PORT_NUMBER, static_cast<UINT>(port), FALSE);
    PortSettings* settings = LoadPortSettings(port);
    if (settings != nullptr) ShowPortSettings(page, *settings);
    LocalFree(settings);
    PortSettings shown;
    ReadPortSettingsFromPage(page, &shown);
    SetPropA(page, kMonitorProperty, CreatePortMonitor(page, port, shown));
    return TRUE;
}

void OnAdd(HWND page) {
    char text[kEntryTextSize];
    GetDlgItemTextA(page, IDC_MODEM_WINDOWS, text, sizeof text);
    if (text[strspn(text, " \t\r\n")] == '\0') return;  // blanks only
    // The same title in other letters would only match the same windows again.
    if (SelectChoiceByText(page, IDC_MODEM_WINDOWS, text) < 0) {
        int index = AddChoice(page, IDC_MODEM_WINDOWS, text, 0);
        if (index >= 0) SelectChoice(page, IDC_MODEM_WINDOWS, index);
    }
    SetDlgItemTextA(page, IDC_MODEM_WINDOWS, "");
    MarkChanged(page);
}

void OnRemove(HWND page) {
    DeleteSelectedChoice(page, IDC_MODEM_WINDOWS);
    SetDlgItemTextA(page, IDC_MODEM_WINDOWS, "");
    MarkChanged(page);
}

void OnEnableChanged(HWND page) {
    PostEnableControls(page);
    MarkChanged(page);
}

void OnEnableControls(HWND page, LPARAM enable) {
    // A request posted before the role changed to 1 must not wake the controls again.
    EnableDialogControls(page, enable != 0 && RoleUsesModem() != 0, IDC_MODEM_ENABLED);
}

void OnPointedWindow(HWND page, HWND window) {
    char title[kEntryTextSize] = "";
    if (window != nullptr && IsWindow(window)) GetWindowTextA(window, title, sizeof title);
    SetDlgItemTextA(page, IDC_MODEM_WINDOWS, title);
    MarkChanged(page);
}

void SaveIfChanged(HWND page) {
    if (RemovePropA(page, kChangedProperty) == nullptr) return;
    auto* settings = static_cast<PortSettings*>(LocalAlloc(LPTR, sizeof(PortSettings)));
    if (settings == nullptr) {
        LogPrintf("Could not save the Modem page: out of memory");
        return;
    }
    BOOL read = FALSE;
    UINT port = GetDlgItemInt(page, IDC_MODEM_PORT_NUMBER, &read, FALSE);
    if (ReadPortSettingsFromPage(page, settings) && read && port >= 1 && port <= 4) {
        SavePortSettings(static_cast<int>(port), *settings);
        StartPortMonitor(static_cast<PortMonitor*>(GetPropA(page, kMonitorProperty)), *settings);
    }
    LocalFree(settings);
}

void OnRoleChanged(HWND page) {
    bool usesModem = RoleUsesModem() != 0;
    EnableDialogControls(page, usesModem, 0);
    // The check box decides again which controls stay enabled. Nothing the user set has changed,
    // so the page is not marked: a save would restart the monitor at the first close of the main
    // window, dropping DTR under a call that is ringing, and would store a hand-made value that
    // matches no entry as -1.
    if (usesModem) PostEnableControls(page);
}

void OnCommand(HWND page, int id, int notification, LPARAM lParam) {
    switch (id) {
    case IDC_MODEM_ADD: OnAdd(page); break;
    case IDC_MODEM_REMOVE: OnRemove(page); break;
    case IDC_MODEM_ENABLED: OnEnableChanged(page); break;
    case IDC_MODEM_EARLY: MarkChanged(page); break;
    // The drop-down lists send no CBN_EDITCHANGE.
    case IDC_MODEM_BAUD_RATE:
    case IDC_MODEM_BYTE_SIZE:
    case IDC_MODEM_PARITY:
    case IDC_MODEM_STOP_BITS:
    case IDC_MODEM_INIT:
    case IDC_MODEM_CALLER_ID:
    case IDC_MODEM_HANGUP1:
    case IDC_MODEM_HANGUP2:
        if (notification == CBN_EDITCHANGE || notification == CBN_SELCHANGE) MarkChanged(page);
        break;
    case CMD_REFRESH: OnPointedWindow(page, reinterpret_cast<HWND>(lParam)); break;
    case CMD_ENABLE_CONTROLS: OnEnableControls(page, lParam); break;
    case CMD_PAGE_SAVE: SaveIfChanged(page); break;
    case CMD_ROLE_CHANGED: OnRoleChanged(page); break;
    default: break;
    }
}

// The window finder. The user presses a button on the finder icon (or anywhere on the blank
// part of its group box), drags over another program's window, which gets an inverted frame
// while its top-level title shows in the edit field, and lets go to add that title.

// The control or window under the mouse, as deep as one level of children.
HWND WindowUnderCursor() {
    POINT point;
    if (!GetCursorPos(&point)) return nullptr;
    HWND window = WindowFromPoint(point);
    if (window == nullptr || !ScreenToClient(window, &point)) return nullptr;
    HWND child = ChildWindowFromPoint(window, point);
    return child != nullptr ? child : window;
}

HWND RootWindow(HWND window) {
    for (HWND parent = GetParent(window); parent != nullptr; parent = GetParent(window)) window = parent;
    return window;
}

// Inverting the same frame twice restores the window's look, so the frame is erased by drawing
// it again.
void InvertWindowFrame(HWND window) {
    RECT rect;
    if (window == nullptr || !GetWindowRect(window, &rect)) return;
    HDC dc = GetWindowDC(window);
    if (dc == nullptr) return;
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    int f = GetSystemMetrics(SM_CXFRAME);
    int g = GetSystemMetrics(SM_CYFRAME);
    PatBlt(dc, 0, 0, w, g, DSTINVERT);
    PatBlt(dc, 0, h - g, w, g, DSTINVERT);
    PatBlt(dc, 0, g, f, h - 2 * g, DSTINVERT);
    PatBlt(dc, w - f, g, f, h - 2 * g, DSTINVERT);
    ReleaseDC(window, dc);
}

bool IsOwnWindow(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// Follows the mouse during a drag.
void TrackWindowFinder(HWND page) {
    HWND under = WindowUnderCursor();
    if (under != nullptr && under == s_finder.framed) return;
    // This program's own windows are never a compatibility window: they would make the
    // monitor give its own port up.
    HWND root = under != nullptr && !IsOwnWindow(under) ? RootWindow(under) : nullptr;
    if (root != s_finder.pointed) {
        s_finder.pointed = root;
        // The full handle travels in lParam; a handle cut to 16 bits names no window for sure.
        PostMessageA(page, WM_COMMAND, CMD_REFRESH, reinterpret_cast<LPARAM>(root));
    }
    InvertWindowFrame(s_finder.framed);
    s_finder.framed = root != nullptr ? under : nullptr;
    InvertWindowFrame(s_finder.framed);
}

void StartFinderDrag(HWND page) {
    if (s_finder.dragging) return;
    HWND icon = GetDlgItem(page, IDC_MODEM_FINDER);
    if (!IsWindowVisible(icon) || !IsWindowEnabled(icon)) return;
    HWND under = WindowUnderCursor();
    if (under != icon && under != GetDlgItem(page, IDC_MODEM_COMPATIBILITY)) return;
    SetCapture(page);
    SetCursor(s_finder.cursor);
    ShowWindow(icon, SW_HIDE);
    SetDlgItemTextA(page, IDC_MODEM_WINDOWS, "");
    s_finder.dragging = true;  // framed and pointed are none: the last drag's end left them so
}

// Ends the drag of this page, if it runs one; with add, the title now in the edit field goes on
// the list as if "Add" had been pressed.
void EndFinderDrag(HWND page, bool add) {
    HWND icon = GetDlgItem(page, IDC_MODEM_FINDER);
    if (!s_finder.dragging || IsWindowVisible(icon)) return;
    s_finder.dragging = false;  // before the release, whose WM_CAPTURECHANGED then finds no drag
    if (GetCapture() == page) ReleaseCapture();
    ShowWindow(icon, SW_SHOW);
    InvertWindowFrame(s_finder.framed);
    s_finder.framed = nullptr;
    s_finder.pointed = nullptr;
    if (add) PostMessageA(page, WM_COMMAND, IDC_MODEM_ADD, 0);
}

void OnDestroy(HWND page) {
    EndFinderDrag(page, false);
    RemovePropA(page, kChangedProperty);
    DestroyPortMonitor(static_cast<PortMonitor*>(RemovePropA(page, kMonitorProperty)));
}

INT_PTR CALLBACK ModemWindowProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, lParam);
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam), lParam); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    // A modeless dialog's default answer to WM_CLOSE is a Cancel command that closes nothing.
    case WM_CLOSE: DestroyWindow(page); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    case WM_SETCURSOR:
        if (s_finder.dragging) SetCursor(s_finder.cursor);
        return s_finder.dragging;
    case WM_MOUSEMOVE:
        if (s_finder.dragging) TrackWindowFinder(page);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: StartFinderDrag(page); return TRUE;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: EndFinderDrag(page, true); return TRUE;
    // Another window took the mouse (a menu, a switch of programs): the drag ends without a pick.
    case WM_CAPTURECHANGED: EndFinderDrag(page, false); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateModemPage(HWND mainWindow, int port) {
    return CreatePage(mainWindow, IDD_MODEM_PAGE, ModemWindowProc, static_cast<LPARAM>(port));
}

bool ReadPortSettingsFromPage(HWND page, PortSettings* out) {
    if (out == nullptr) return false;
    ZeroMemory(out, sizeof *out);
    if (page == nullptr || !IsWindow(page)) return false;
    out->byte_size = static_cast<uint32_t>(GetSelectedChoiceData(page, IDC_MODEM_BYTE_SIZE));
    out->baud_rate = static_cast<uint32_t>(GetSelectedChoiceData(page, IDC_MODEM_BAUD_RATE));
    out->parity = static_cast<uint32_t>(GetSelectedChoiceData(page, IDC_MODEM_PARITY));
    out->stop_bits = static_cast<uint32_t>(GetSelectedChoiceData(page, IDC_MODEM_STOP_BITS));
    out->enabled = IsChecked(page, IDC_MODEM_ENABLED);
    out->early = IsChecked(page, IDC_MODEM_EARLY);
    char* texts = GetChoiceTexts(page, IDC_MODEM_WINDOWS);
    CopyWindowList(out->wnd, sizeof out->wnd, texts, texts != nullptr ? LocalSize(texts) : 0);
    LocalFree(texts);
    UINT port = GetDlgItemInt(page, IDC_MODEM_PORT_NUMBER, nullptr, FALSE);
    char name[16];  // room for any number the field may hold; the record keeps what fits
    wsprintfA(name, "COM%u", port);
    CopyText(out->name, sizeof out->name, name);
    for (const CommandField& field : kCommandFields) {
        GetDlgItemTextA(page, field.id, out->*field.text, kModemCommandSize);
    }
    return IsWindow(page) != FALSE;
}
