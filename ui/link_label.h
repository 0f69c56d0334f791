// The link label: an ordinary static text control of a dialog made clickable. Hand cursor and
// red underlined text while the mouse is over it, navy text otherwise; after a click it is
// disabled for a second, so a quick second click does not open the link twice. The dialog hears
// a click as WM_COMMAND with the control's identifier and STN_CLICKED.
#pragma once
#include <windows.h>

// Text colours of a label: hot (the mouse over it) and idle.
inline constexpr COLORREF kLinkHotColour = RGB(255, 0, 0);
inline constexpr COLORREF kLinkIdleColour = RGB(0, 0, 128);

// Makes control id of dialog a link label, sized to its text when fit is set. A missing control,
// or one that is not a static control, is left as it is.
void MakeLinkLabel(HWND dialog, int id, bool fit);

// Sizes the control to its text in the underlined link font, plus 2 pixels each way, keeping its
// top-left corner. Left alone when the font cannot be made or the text has no height.
void FitLinkLabel(HWND control);

// The dialogs' default GUI font, underlined or not. The caller deletes it.
HFONT CreateLinkFont(bool underline);

// Draws text into rect the way a static control of that style places it: left, centred or
// right by the style's two lowest bits, vertically centred with SS_CENTERIMAGE, on one line
// unless the text holds a line feed.
void DrawLinkText(HDC dc, RECT* rect, const char* text, DWORD style);

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);
