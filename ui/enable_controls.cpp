#include "ui/enable_controls.h"

void EnableDialogControls(HWND dialog, bool enable, int keepId) {
    if (dialog == nullptr) return;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(control) != keepId) EnableWindow(control, enable ? TRUE : FALSE);
    }
}
