// The Modem page of one COM port (COM1 to COM4): how to open the port, how to set up its modem,
// and which windows of other programs make the monitor give the port up. The page owns the
// port's monitor thread, and hands it a copy of its settings as it shows them at start and each
// time it saves them.
#pragma once
#include <windows.h>

#include "base/messages.h"
#include "modem/port_settings.h"

// WM_COMMAND to the page: lParam non-zero enables every control but the check box, 0 disables
// them. Posted by the page itself whenever the check box may have changed.
inline constexpr int CMD_ENABLE_CONTROLS = CMD_MODEM_PAGE_PRIVATE;

// Creates the hidden page of port 1 to 4 as a child of the main window. A page for another port
// number closes itself at once (and logs why).
HWND CreateModemPage(HWND mainWindow, int port);

// Fills out (zeroed first) with what the page shows: a combo box without a selection reads as
// 0xFFFFFFFF, the compatibility list holds the list's entries in list order. Any thread may call
// it; the controls are read through messages, which the page's own thread answers. Returns false
// when the page is no longer a window (out is then zeroed or only partly read).
bool ReadPortSettingsFromPage(HWND page, PortSettings* out);
