// What the main window's pages share: made from their dialog resources, a result handed back
// from a dialog procedure, help passed on to the main window, and the mark of unsaved changes.
#pragma once
#include <windows.h>

// A page of the main window, made hidden from its dialog resource; WM_INITDIALOG gets parameter.
HWND CreatePage(HWND mainWindow, int dialogId, DLGPROC proc, LPARAM parameter = 0);
// The result of a message that has one (WM_NOTIFY): a dialog procedure hands it over this way.
INT_PTR AnswerMessage(HWND page, LRESULT result);
// WM_HELP goes to the main window, which opens the help at the page's section. Sent, not
// posted: the help request carries a pointer, which a posted message cannot.
INT_PTR PassHelpToMainWindow(HWND page, WPARAM wParam, LPARAM lParam);

// The controls differ from what is stored: the next CMD_PAGE_SAVE writes them. Only what the
// user does counts, and filling the controls at creation happens while the page is still hidden.
void MarkPageChangedIfShown(HWND page);
// Clears the mark; true when it was set.
bool TakePageChanged(HWND page);
