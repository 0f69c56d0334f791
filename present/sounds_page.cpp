#include "present/sounds_page.h"

#include "base/messages.h"
#include "base/settings.h"
#include "present/sound_path.h"
#include "present/sound_player.h"
#include "present/sounds_page_ids.h"
#include "res/resource_ids.h"
#include "ui/dialog_page.h"
#include "ui/enable_controls.h"
#include "ui/file_chooser.h"

namespace {

// Two filters, the first one chosen; each is a name and a pattern, the list ends with an empty name.
constexpr char kWaveFilters[] = "WAV Files (*.wav)\0*.wav\0All Files (*.*)\0*.*\0";

// The page a ring reaches; set and cleared by the page itself, read by PlayRingSound. All on
// the user-interface thread.
HWND s_soundsPage = nullptr;

bool IsChecked(HWND page) { return IsDlgButtonChecked(page, IDC_SOUND_ENABLED) == BST_CHECKED; }

void OnInitDialog(HWND page) {
    s_soundsPage = page;
    CheckDlgButton(page, IDC_SOUND_ENABLED, ReadSettingDword(kSettingSoundEnabled) != 0 ? BST_CHECKED : BST_UNCHECKED);
    // The box's own handler sets the other controls, as a click would.
    PostMessageA(page, WM_COMMAND, IDC_SOUND_ENABLED, 0);
    char path[kSoundPathSize];
    if (ReadSetting(kSettingSoundFile.name, path, sizeof path) != REG_SZ) {
        // The ring of the Windows sound scheme: "Media\ringin.wav" in the Windows directory.
        char directory[MAX_PATH] = "";
        UINT length = GetWindowsDirectoryA(directory, sizeof directory);
        if (length >= sizeof directory) directory[0] = '\0';  // too long to be of use
        MakeDefaultSoundPath(directory, path, sizeof path);
    }
    // No longer than what is read back and stored.
    SendDlgItemMessageA(page, IDC_SOUND_FILE, EM_LIMITTEXT, kSoundPathSize - 1, 0);
    SetDlgItemTextA(page, IDC_SOUND_FILE, path);
}

void OnEnableChanged(HWND page) {
    EnableDialogControls(page, IsChecked(page), IDC_SOUND_ENABLED);
    MarkPageChangedIfShown(page);
}

void OnBrowse(HWND page) {
    char path[kSoundPathSize] = "";
    if (ChooseFileName(page, false, kWaveFilters, path, sizeof path)) SetDlgItemTextA(page, IDC_SOUND_FILE, path);
}

// The Test button and every ring.
void OnTest(HWND page) {
    if (!IsChecked(page)) return;
    char path[kSoundPathSize];
    GetDlgItemTextA(page, IDC_SOUND_FILE, path, sizeof path);
    PlaySoundFile(path);
}

void SaveIfChanged(HWND page) {
    if (!TakePageChanged(page)) return;
    char path[kSoundPathSize];
    int length = GetDlgItemTextA(page, IDC_SOUND_FILE, path, sizeof path);
    WriteSetting(kSettingSoundFile.name, path, static_cast<DWORD>(length) + 1, REG_SZ);
    WriteSettingDword(kSettingSoundEnabled, IsChecked(page) ? 1 : 0);
}

void OnCommand(HWND page, int id, int notification) {
    switch (id) {
    case IDC_SOUND_ENABLED: OnEnableChanged(page); break;
    case IDC_SOUND_FILE:
        if (notification == EN_CHANGE) MarkPageChangedIfShown(page);
        break;
    case IDC_SOUND_BROWSE: OnBrowse(page); break;
    case IDC_SOUND_TEST: OnTest(page); break;
    case CMD_PAGE_SAVE: SaveIfChanged(page); break;
    default: break;
    }
}

// Changes not saved by now are lost, as the main window saves its pages before it goes.
void OnDestroy(HWND page) {
    TakePageChanged(page);
    if (s_soundsPage == page) s_soundsPage = nullptr;
}

INT_PTR CALLBACK SoundsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateSoundsPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_SOUNDS_PAGE, SoundsPageProc);
}

void PlayRingSound() {
    if (s_soundsPage != nullptr) PostMessageA(s_soundsPage, WM_COMMAND, CMD_SOUNDS_TEST, 0);
}
