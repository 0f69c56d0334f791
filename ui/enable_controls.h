// Enabling or disabling a whole page at once, as its role or state allows.
#pragma once
#include <windows.h>

// Enables or disables every control of the dialog, in their order, except the one whose
// identifier is keepId (pass an identifier no control has, such as 0, to keep none). Only the
// dialog's own controls are touched: the parts inside a control (a list view's header, a combo
// box's edit field) follow their control, so the control left alone keeps all of them.
void EnableDialogControls(HWND dialog, bool enable, int keepId);
