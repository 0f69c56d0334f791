#include "app/start_with_windows.h"

#include "base/product.h"

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool StartsWithWindows() {
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, kProductName, RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

bool SetStartWithWindows(bool on) {
    if (!on) {
        // No Run key, or no value in it: nothing starts.
        LONG result = RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kProductName);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    program[length] = '\0';
    // Quoted: the system reads an unquoted path with blanks ("C:\Program Files\...") as a program
    // "C:\Program" with arguments.
    char command[MAX_PATH + 3];
    int commandLength = wsprintfA(command, "\"%s\"", program);
    // The Run key is made when it is missing.
    return RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, kProductName, REG_SZ, command,
                           static_cast<DWORD>(commandLength + 1)) == ERROR_SUCCESS;
}
