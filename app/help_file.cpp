#include "app/help_file.h"

#include "base/data_files.h"

namespace {
int s_helpOpened = 0;  // UI thread only
}  // namespace

void ShowHelp(HWND window, int open) {
    char path[MAX_PATH];
    GetProgramFilePath("hlp", path, sizeof path);
    if (path[0] == '\0') return;
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
