#include "base/error_text.h"

char* ErrorText(DWORD code, char* buffer, DWORD size) {
    if (buffer == nullptr) return buffer;
    if (code == kLastError) code = GetLastError();
    if (code == 0 || size < 8) {
        if (size > 0) buffer[0] = '\0';
        return buffer;
    }
    ZeroMemory(buffer, size);
    // Keep room behind the text: some systems write a byte or two past the count they are given.
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0x400, buffer, size - 4, nullptr);
    if (length > 1) {
        while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) buffer[--length] = '\0';
    }
    return buffer;
}
