// The lines of a program log list box, for tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Read as wide text: Wine's ANSI LB_GETTEXT overruns its own stack for lines of about 1000
// characters or more. withTime false drops the 7-character time in front of each line.
inline std::vector<std::string> ListBoxLines(HWND list, bool withTime = true) {
    std::vector<std::string> lines;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring wide(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
        std::string line(wide.size() * 2, '\0');
        int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &line[0], static_cast<int>(line.size()), nullptr,
                                         nullptr);
        line.resize(length > 0 ? length - 1 : 0);
        lines.push_back(withTime ? line : (line.size() > 7 ? line.substr(7) : std::string()));
    }
    return lines;
}
