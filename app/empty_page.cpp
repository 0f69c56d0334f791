#include "app/empty_page.h"

#include "app/win_state.h"

namespace {

INT_PTR CALLBACK EmptyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateEmptyPage(HWND mainWindow, int dialogId, LPARAM parameter) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(dialogId), mainWindow, EmptyPageProc, parameter);
}
