// Popups: a small borderless window on top of everything near the bottom-right corner of the
// work area, with an icon and a text of one or more lines in the user's font and colours. Each
// popup runs on a thread of its own with its own message loop, so a popup never waits on the main
// window and any number can be open at once. A popup can be dragged with either mouse button,
// closes on a double click, and closes by itself after the configured number of seconds.
#pragma once
#include <windows.h>

// Formats the text (wsprintfA rules, at most 1024 characters) and opens a popup with it, from any
// thread; the caller never waits. Does nothing while popups are switched off. The format must be
// a literal: received text goes in as an argument, never as the format.
void ShowPopup(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));
// A popup of two string resources, one per line (the network agent's error notices). Strings
// that do not fit the 256-byte join are cut, never written past it.
void ShowPopupFromStrings(UINT firstId, UINT secondId);

// Makes the drawing objects every popup shares: the font from the setting "font" (the default GUI
// font, stored as "font", when there is no binary value), the background brush of the current
// background colour, the two edge pens and the icon at 32 and at 16 pixels. Called once at start-up
// on the user-interface thread; a second call replaces the whole set. Returns false when any object
// could not be made (popups still open, drawn without it).
bool CreatePopupResources();
// After a colour change, on the user-interface thread: a new background brush, new pens and
// icons; the font stays (the Popup Window page shows it in its sample).
bool RecreatePopupResources();
// The font popups are drawn in (for the Popup Window page's sample); nullptr before creation.
// Valid until the next ReplacePopupFont.
HFONT GetPopupFont();
// Makes a font from the record and gives it to every popup; the previous one is released. On
// failure the old font stays and the result is nullptr. The caller stores the record itself.
HFONT ReplacePopupFont(const LOGFONTA& record);

// Returns once no popup is open, checking every 10 ms: the program ends only after its popups.
void WaitForPopupsClosed();
// Popup threads started and not yet ended.
LONG OpenPopupCount();
