#include "ui/dialog_page.h"

#include "base/win_state.h"

namespace {
constexpr char kChangedProperty[] = "ch";
}  // namespace

HWND CreatePage(HWND mainWindow, int dialogId, DLGPROC proc, LPARAM parameter) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(dialogId), mainWindow, proc, parameter);
}

INT_PTR AnswerMessage(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR PassHelpToMainWindow(HWND page, WPARAM wParam, LPARAM lParam) {
    SendMessageA(GetParent(page), WM_HELP, wParam, lParam);
    return TRUE;
}

void MarkPageChangedIfShown(HWND page) {
    if (IsWindowVisible(page)) SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(1));
}

bool TakePageChanged(HWND page) { return RemovePropA(page, kChangedProperty) != nullptr; }
