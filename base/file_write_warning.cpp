#include "base/file_write_warning.h"

#include "base/error_text.h"
#include "base/product.h"
#include "base/unique_handle.h"

namespace {

LONG s_warned = 0;  // any thread; set once

DWORD WINAPI WarningThread(void* parameter) {
    char* text = static_cast<char*>(parameter);
    MessageBoxA(nullptr, text, kProductName, MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
    LocalFree(text);
    return 0;
}

}  // namespace

void WarnFileNotWritten(const char* path, DWORD error) {
    if (InterlockedExchange(&s_warned, 1) != 0) return;
    char reason[256];
    ErrorText(error, reason, sizeof reason);
    // wsprintfA writes at most 1024 bytes, whatever the path holds.
    char* text = static_cast<char*>(LocalAlloc(LPTR, 1024 + 1));
    if (text == nullptr) return;
    wsprintfA(text, "%s could not write this file:\r\n\r\n%s\r\n\r\n%s\r\n\r\n"
                    "Calls are still shown, but what could not be written there is not kept.",
              kProductName, path, reason);
    OwnedHandle thread(CreateThread(nullptr, 0, WarningThread, text, 0, nullptr));
    if (!thread) LocalFree(text);
}
