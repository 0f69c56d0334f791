#include "base/ansi_code_page.h"

#include <windows.h>

CodePageMap ReadAnsiCodePageMap() {
    CodePageMap map{};
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        char in = static_cast<char>(byte);
        WCHAR out[2] = {};
        // Strict: a byte the code page leaves undefined must not come back as a stand-in.
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &in, 1, out, 2) == 1) {
            map.high[byte - 0x80] = out[0];
        }
    }
    return map;
}
