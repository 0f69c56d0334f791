#include "app/help_file.h"

#include <shellapi.h>

#include "app/help_address.h"
#include "base/data_files.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "base/win_state.h"
#include "res/resource_ids.h"

namespace {

int s_winHelpOpened = 0;  // UI thread only

const char kHelpFileName[] = "tellwire-help.html";

// Windows 10 and 11 have no WinHelp and cannot get it: there WinHelpA only shows a box that says
// so. Earlier systems have it, or can have it added.
bool SystemHasWinHelp() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    // The manifest names Windows 10 as supported, so the system tells its true version.
    return GetVersionExA(&version) && version.dwMajorVersion < 10;
}

bool ShowWinHelp(HWND owner) {
    char path[MAX_PATH];
    GetProgramFilePath("hlp", path, sizeof path);
    // WinHelp with a missing file blocks the caller until its "Cannot find" box is answered.
    if (path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES || !SystemHasWinHelp()) return false;
    WinHelpA(owner, path, HELP_FORCEFILE, 0);
    ++s_winHelpOpened;
    return true;
}

// The help page out of the program's resources into a file the browser can open; written anew
// each time, so a newer program never shows an older copy's help.
bool WriteHelpFile(char* path, DWORD size) {
    HRSRC found = FindResourceA(g_win.instance, MAKEINTRESOURCEA(IDR_HELP_PAGE), MAKEINTRESOURCEA(23));  // RT_HTML
    HGLOBAL loaded = found != nullptr ? LoadResource(g_win.instance, found) : nullptr;
    const void* page = loaded != nullptr ? LockResource(loaded) : nullptr;
    DWORD pageSize = found != nullptr ? SizeofResource(g_win.instance, found) : 0;
    DWORD folderLength = GetTempPathA(size, path);
    if (page == nullptr || folderLength == 0 || folderLength >= size) return false;
    if (AppendText(path, size, kHelpFileName) != folderLength + sizeof kHelpFileName - 1) return false;
    OwnedHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), page, pageSize, &written, nullptr) && written == pageSize;
}

// A file address is UTF-8; the program's paths are in the system's code page.
bool ToUtf8(const char* text, char* out, int outSize) {
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH) == 0) return false;
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, outSize, nullptr, nullptr) != 0;
}

// The kind of program the user chose for web addresses. Given as the class to open with, the
// shell hands it the address as it stands; left to find the class itself, it takes a file
// address for the file and drops the "#section" on the way.
void BrowserClass(char* name, DWORD size) {
    static const char kChoice[] = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
    char chosen[128] = "";
    DWORD chosenSize = sizeof chosen;
    LONG read = RegGetValueA(HKEY_CURRENT_USER, kChoice, "ProgId", RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, chosen,
                             &chosenSize);
    CopyText(name, size, read == ERROR_SUCCESS && chosen[0] != '\0' ? chosen : "http");
}

bool OpenInBrowser(HWND owner, const char* address) {
    char browser[128];
    BrowserClass(browser, sizeof browser);
    SHELLEXECUTEINFOA open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
    open.hwnd = owner;
    open.lpVerb = "open";
    open.lpFile = address;
    open.lpClass = browser;
    open.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&open) != FALSE;
}

}  // namespace

void ShowHelp(HWND owner, const char* title) {
    if (ShowWinHelp(owner)) return;
    char path[MAX_PATH];
    if (!WriteHelpFile(path, sizeof path)) return;
    char anchor[64] = "";
    if (title != nullptr) MakeHelpAnchor(title, anchor, sizeof anchor);
    char utf8[MAX_PATH * 3];
    char address[MAX_PATH * 9 + 80];
    if (!ToUtf8(path, utf8, sizeof utf8) || !BuildFileAddress(utf8, anchor, address, sizeof address) ||
        !OpenInBrowser(owner, address)) {
        // No browser registered for web addresses: whatever opens the page, at its top.
        ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void CloseHelp(HWND owner) {
    if (s_winHelpOpened == 0) return;
    char path[MAX_PATH];
    GetProgramFilePath("hlp", path, sizeof path);
    if (path[0] != '\0') WinHelpA(owner, path, HELP_QUIT, 0);
    s_winHelpOpened = 0;
}
