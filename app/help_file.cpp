#include "app/help_file.h"

#include "app/text_utils.h"

namespace {
int s_helpOpened = 0;  // UI thread only
}  // namespace

void ShowHelp(HWND window, int open) {
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* dot = nullptr;
    for (char* at = path; *at != '\0'; ++at) {
        if (*at == '.') dot = at;
    }
    if (dot == nullptr || dot - path < 2) return;
    CopyText(dot + 1, sizeof path - (dot + 1 - path), "hlp");
    // WinHelp with a missing file blocks the caller until its "Cannot find" box is answered.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return;
    if (open) {
        WinHelpA(window, path, HELP_FORCEFILE, 0);
        ++s_helpOpened;
    } else {
        if (s_helpOpened != 0) WinHelpA(window, path, HELP_QUIT, 0);
        s_helpOpened = 0;
    }
}
