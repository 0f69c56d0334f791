#include "diag/crash_dialog.h"

#include "base/messages.h"
#include "base/product.h"
#include "base/read_whole_file.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/crash_countdown.h"
#include "diag/crash_dialog_ids.h"
#include "res/resource_ids.h"
#include "ui/file_chooser.h"

namespace {

// The dialog's unfolded height, kept while the report is folded away.
constexpr char kHeightProperty[] = "cy";
constexpr UINT kCountdownDelayMs = 5000;
constexpr UINT kCountdownStepMs = 1000;
constexpr DWORD kSaveNameSize = 2048;

// Opened dialogs in this process; a second crash shows its number in the title.
int s_crashCount = 0;

HINSTANCE Instance() { return g_win.instance != nullptr ? g_win.instance : GetModuleHandleA(nullptr); }

CrashContext* ContextOf(HWND dialog) {
    return reinterpret_cast<CrashContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void StopCountdownTimers(HWND dialog) {
    KillTimer(dialog, TIMER_COUNTDOWN_DELAY);
    KillTimer(dialog, TIMER_COUNTDOWN);
}

void PostStopCountdown(HWND dialog) { PostMessageA(dialog, WM_COMMAND, CMD_STOP_COUNTDOWN, 0); }

void OnInitDialog(HWND dialog, CrashContext* context) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));

    // The product name goes in front of the problem's text and of the title.
    char text[512];
    char rest[384];
    GetDlgItemTextA(dialog, IDC_CRASH_PROBLEM, rest, sizeof rest);
    wsprintfA(text, "%s%s", kProductName, rest);
    SetDlgItemTextA(dialog, IDC_CRASH_PROBLEM, text);

    // Both post CMD_STOP_COUNTDOWN, which arrives before the dialog is shown and so stops nothing.
    SendMessageA(dialog, WM_COMMAND, IDC_CRASH_SEND, 0);
    MessageBeep(MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_COMMAND, IDC_CRASH_MORE, 0);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetTimer(dialog, TIMER_COUNTDOWN_DELAY, kCountdownDelayMs, nullptr);

    GetWindowTextA(dialog, rest, sizeof rest);
    int length = wsprintfA(text, "%s - %s", kProductName, rest);
    ++s_crashCount;
    if (s_crashCount >= 2) wsprintfA(text + length, "  [%d]", s_crashCount);
    SetWindowTextA(dialog, text);
}

// Reads the report file into the edit field the first time it is unfolded.
void LoadReportText(HWND dialog, HWND report) {
    if (GetWindowTextLengthA(report) != 0) return;
    const char* path = WrittenPath(ContextOf(dialog)->reportPath);
    if (path == nullptr) return;
    char* text = ReadWholeFile(path, nullptr);
    if (text == nullptr) return;
    SendMessageA(report, EM_LIMITTEXT, 0, 0);  // reports with many modules pass the default limit
    SetWindowTextA(report, text);
    LocalFree(text);
}

// The report field is the bottom of the dialog: folding cuts the dialog off just above it.
void FoldOrUnfold(HWND dialog) {
    HWND report = GetDlgItem(dialog, IDC_CRASH_REPORT);
    RECT frame;
    GetWindowRect(dialog, &frame);
    int width = frame.right - frame.left;
    if (IsWindowEnabled(report)) {
        EnableWindow(report, FALSE);
        RECT field;
        GetWindowRect(report, &field);
        if (GetPropA(dialog, kHeightProperty) == nullptr) {
            SetPropA(dialog, kHeightProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(frame.bottom - frame.top)));
        }
        SetWindowPos(dialog, nullptr, 0, 0, width, field.top - 2 - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    int height = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(dialog, kHeightProperty)));
    if (height >= 1) LoadReportText(dialog, report);
    if (height < 1 || GetWindowTextLengthA(report) == 0) {
        EnableWindow(GetDlgItem(dialog, IDC_CRASH_MORE), FALSE);  // nothing to show
        return;
    }
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(report, TRUE);
}

// A copy of the dump where the user chooses, through the system's save-file chooser.
void SaveDumpAs(HWND dialog) {
    const char* dump = WrittenPath(ContextOf(dialog)->dumpPath);
    if (dump == nullptr) return;
    char name[kSaveNameSize] = "";
    if (ChooseFileName(dialog, true, "All Files (*.*)\0*.*\0", name, sizeof name)) CopyFileA(dump, name, FALSE);
}

// Any sign of the user being there ends the countdown, and the button reads "Ignore" again.
void OnStopCountdown(HWND dialog) {
    if (!IsWindowVisible(dialog)) return;
    StopCountdownTimers(dialog);
    char text[64];
    GetDlgItemTextA(dialog, IDOK, text, sizeof text);
    CutCountdown(text);
    SetDlgItemTextA(dialog, IDOK, text);
}

void OnCountdownStep(HWND dialog) {
    char current[64];
    char next[64];
    GetDlgItemTextA(dialog, IDOK, current, sizeof current);
    bool runOut = NextCountdownText(current, next, sizeof next);
    SetDlgItemTextA(dialog, IDOK, next);
    if (runOut) PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void OnTimer(HWND dialog, UINT_PTR timer) {
    if (timer == TIMER_COUNTDOWN_DELAY) {
        KillTimer(dialog, TIMER_COUNTDOWN_DELAY);
        SetTimer(dialog, TIMER_COUNTDOWN, kCountdownStepMs, nullptr);
    } else if (timer == TIMER_COUNTDOWN) {
        OnCountdownStep(dialog);
    }
}

void OnCommand(HWND dialog, int id) {
    if (id == IDC_CRASH_SAVE_DUMP || id == IDC_CRASH_MORE || id == IDC_CRASH_SEND) PostStopCountdown(dialog);
    switch (id) {
    case IDOK: PostMessageA(dialog, WM_CLOSE, 0, 0); break;
    case IDCANCEL:
        // Escape means "leave me alone": nothing is sent.
        CheckDlgButton(dialog, IDC_CRASH_SEND, BST_UNCHECKED);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        break;
    case IDC_CRASH_ABORT: EndDialog(dialog, kCrashAbort); break;
    case IDC_CRASH_SAVE_DUMP: SaveDumpAs(dialog); break;
    case IDC_CRASH_MORE: FoldOrUnfold(dialog); break;
    case IDC_CRASH_SEND: EnableWindow(GetDlgItem(dialog, IDC_CRASH_SEND_DUMP), IsChecked(dialog, IDC_CRASH_SEND)); break;
    case CMD_STOP_COUNTDOWN: OnStopCountdown(dialog); break;
    default: break;
    }
}

// Help is the program's help at the Crash Report section, which the main window opens. The
// request is posted: the main window's thread may have faulted and be waiting for this dialog on
// another thread, or be stuck, and the dialog must never wait for it.
void PassHelpOn() {
    HWND mainWindow = g_win.mainWindow;
    if (mainWindow != nullptr) PostMessageA(mainWindow, WM_COMMAND, CMD_SHOW_HELP, kHelpFromCrashReport);
}

// What the sending step needs, decided as the dialog closes.
void OnDestroy(HWND dialog) {
    RemovePropA(dialog, kHeightProperty);
    CrashContext* context = ContextOf(dialog);
    if (context == nullptr || !IsChecked(dialog, IDC_CRASH_SEND)) return;
    CopyText(context->recipient, sizeof context->recipient, kSupportAddress);
    wsprintfA(context->subject, "%s v%s - Crash Report", kProductName, kProductVersion);
    if (LoadStringA(Instance(), IDS_CRASH_MAIL_BODY, context->body, sizeof context->body) <= 0) context->body[0] = '\0';
    context->sendDump = IsChecked(dialog, IDC_CRASH_SEND_DUMP);
}

}  // namespace

INT_PTR ShowCrashDialog(CrashContext* context) {
    return DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_CRASH_REPORT), nullptr, CrashDialogProc,
                           reinterpret_cast<LPARAM>(context));
}

INT_PTR CALLBACK CrashDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, reinterpret_cast<CrashContext*>(lParam)); return TRUE;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam)); return TRUE;
    case WM_TIMER: OnTimer(dialog, wParam); return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        StopCountdownTimers(dialog);
        PostStopCountdown(dialog);
        return FALSE;  // the frame still moves and its menu still opens
    case WM_HELP: PassHelpOn(); return TRUE;
    case WM_CLOSE: EndDialog(dialog, kCrashContinue); return TRUE;
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    default: return FALSE;
    }
}
