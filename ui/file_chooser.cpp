#include "ui/file_chooser.h"

#include <commdlg.h>

bool ChooseFileName(HWND owner, bool save, const char* filters, char* path, DWORD size, DWORD* type) {
    if (path == nullptr || size == 0) return false;
    path[0] = '\0';
    OPENFILENAMEA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = filters;
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = path;
    chooser.nMaxFile = size;
    chooser.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                    (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameA(&chooser) : GetOpenFileNameA(&chooser);
    if (type != nullptr) *type = chooser.nFilterIndex;
    return chosen != FALSE && path[0] != '\0';
}
