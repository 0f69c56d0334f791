#include "present/popup_page.h"

#include <commdlg.h>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/unique_handle.h"
#include "present/popup_page_ids.h"
#include "present/popup_window.h"
#include "res/resource_ids.h"
#include "ui/enable_controls.h"
#include "ui/dialog_page.h"

namespace {

constexpr char kSampleText[] = "This is \r\nsample text";

// One swatch: the colour it shows, the setting that keeps the colour, and the brush it is painted
// with, made on demand from the current colour and released when the colour changes. The
// user-interface thread alone touches the brushes.
struct Swatch {
    int id;
    uint32_t* colour;
    const SettingInfo* setting;
    OwnedBrush brush;
};
Swatch s_swatches[] = {
    {IDC_POPUP_BACK_SWATCH, &g_state.popupBackColour, &kSettingBackColour, OwnedBrush{}},
    {IDC_POPUP_TEXT_SWATCH, &g_state.popupTextColour, &kSettingTextColour, OwnedBrush{}},
};

Swatch* SwatchOf(int id) {
    for (Swatch& swatch : s_swatches) {
        if (swatch.id == id) return &swatch;
    }
    return nullptr;
}

void OnInitDialog(HWND page) {
    g_state.popupsEnabled = ReadSettingDword(kSettingPopupsEnabled);
    g_state.popupCloseSeconds = ReadSettingDword(kSettingPopupSeconds);
    g_state.showNoCallerId = ReadSettingDword(kSettingShowNoCallerId);
    CheckDlgButton(page, IDC_POPUP_ENABLED, g_state.popupsEnabled != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_POPUP_NO_CALLER_ID, g_state.showNoCallerId != 0 ? BST_CHECKED : BST_UNCHECKED);
    // The box's own handler sets the other controls, as a click would.
    PostMessageA(page, WM_COMMAND, IDC_POPUP_ENABLED, 0);
    SetDlgItemInt(page, IDC_POPUP_SECONDS, g_state.popupCloseSeconds, FALSE);
    SendDlgItemMessageA(page, IDC_POPUP_FONT_SAMPLE, WM_SETFONT, reinterpret_cast<WPARAM>(GetPopupFont()), TRUE);
}

// Open popups see the switch at their next tick: switched off, they all close within a second.
void OnEnableChanged(HWND page) {
    bool enabled = IsDlgButtonChecked(page, IDC_POPUP_ENABLED) == BST_CHECKED;
    g_state.popupsEnabled = enabled ? 1 : 0;
    EnableDialogControls(page, enabled, IDC_POPUP_ENABLED);
    MarkPageChangedIfShown(page);
}

// A text that is no number gives 0: popups then close at their first tick.
void OnSecondsChanged(HWND page, int notification) {
    if (notification != EN_CHANGE || !IsWindowVisible(page)) return;
    BOOL isNumber = FALSE;
    UINT seconds = GetDlgItemInt(page, IDC_POPUP_SECONDS, &isNumber, FALSE);
    g_state.popupCloseSeconds = isNumber ? seconds : 0;
    MarkPageChangedIfShown(page);
}

void ChoosePopupFont(HWND page) {
    LOGFONTA record{};
    bool stored = ReadSetting(kSettingFont.name, &record, sizeof record) == REG_BINARY;
    record.lfFaceName[LF_FACESIZE - 1] = '\0';  // a hand-edited value may lack the NUL
    CHOOSEFONTA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.lpLogFont = &record;
    // No effects: the popup's colour is chosen below, and it has no use for underlines.
    chooser.Flags = CF_SCREENFONTS | CF_PRINTERFONTS | (stored ? CF_INITTOLOGFONTSTRUCT : 0);
    if (!ChooseFontA(&chooser)) return;
    WriteSetting(kSettingFont.name, &record, sizeof record, REG_BINARY);
    // A font that cannot be made leaves the old one with the popups and the sample.
    HFONT font = ReplacePopupFont(record);
    if (font != nullptr) {
        SendDlgItemMessageA(page, IDC_POPUP_FONT_SAMPLE, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

// The system's colour chooser, fully opened, starting from black with black custom colours. The
// colour chosen is stored at once, and every popup from now on is drawn in it.
void OnSwatchClicked(HWND page, int id, int notification) {
    Swatch* swatch = SwatchOf(id);
    if (notification != STN_CLICKED || swatch == nullptr) return;
    COLORREF custom[16] = {};
    CHOOSECOLORA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.lpCustColors = custom;
    chooser.Flags = CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&chooser)) return;
    *swatch->colour = chooser.rgbResult;
    InvalidateRect(GetDlgItem(page, id), nullptr, TRUE);
    swatch->brush.reset();
    WriteSettingDword(*swatch->setting, *swatch->colour);
    RecreatePopupResources();
}

void SaveIfChanged(HWND page) {
    if (!TakePageChanged(page)) return;
    WriteSettingDword(kSettingPopupsEnabled, g_state.popupsEnabled);
    WriteSettingDword(kSettingPopupSeconds, g_state.popupCloseSeconds);
    WriteSettingDword(kSettingShowNoCallerId, g_state.showNoCallerId);
}

void OnCommand(HWND page, int id, int notification) {
    switch (id) {
    case IDC_POPUP_ENABLED: OnEnableChanged(page); break;
    case IDC_POPUP_NO_CALLER_ID:
        g_state.showNoCallerId = IsDlgButtonChecked(page, IDC_POPUP_NO_CALLER_ID) == BST_CHECKED ? 1 : 0;
        MarkPageChangedIfShown(page);
        break;
    case IDC_POPUP_SECONDS: OnSecondsChanged(page, notification); break;
    case IDC_POPUP_FONT_CHANGE: ChoosePopupFont(page); break;
    case IDC_POPUP_BACK_SWATCH:
    case IDC_POPUP_TEXT_SWATCH: OnSwatchClicked(page, id, notification); break;
    case IDC_POPUP_TEST: ShowPopup("%s", kSampleText); break;
    case CMD_PAGE_SAVE: SaveIfChanged(page); break;
    default: break;
    }
}

// A disabled swatch is left to the system, so it looks as disabled as its neighbours.
INT_PTR OnControlColour(HWND control) {
    Swatch* swatch = SwatchOf(GetDlgCtrlID(control));
    if (swatch == nullptr || !IsWindowEnabled(control)) return FALSE;
    if (!swatch->brush) swatch->brush.reset(CreateSolidBrush(*swatch->colour));
    return reinterpret_cast<INT_PTR>(swatch->brush.get());
}

void OnDestroy(HWND page) {
    TakePageChanged(page);  // not saved: the main window saves its pages before it goes
    for (Swatch& swatch : s_swatches) swatch.brush.reset();
}

INT_PTR CALLBACK PopupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HWND>(lParam));
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreatePopupPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_POPUP_PAGE, PopupPageProc);
}
