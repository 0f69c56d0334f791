#include "app/start_with_windows.h"

#include "base/product.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

OwnedKey OpenRunKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, access, &key) != ERROR_SUCCESS) return OwnedKey();
    return OwnedKey(key);
}

}  // namespace

bool StartsWithWindows() {
    OwnedKey key = OpenRunKey(KEY_QUERY_VALUE);
    return key && RegQueryValueExA(key.get(), kProductName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool SetStartWithWindows(bool on) {
    if (!on) {
        OwnedKey key = OpenRunKey(KEY_SET_VALUE);
        if (!key) return true;  // no Run key: nothing starts
        LONG result = RegDeleteValueA(key.get(), kProductName);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    program[length] = '\0';
    // Quoted: the system reads an unquoted path with blanks ("C:\Program Files\...") as a program
    // "C:\Program" with arguments.
    char command[MAX_PATH + 3];
    CopyText(command, sizeof command, "\"");
    AppendText(command, sizeof command, program);
    AppendText(command, sizeof command, "\"");
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    OwnedKey key(raw);
    return RegSetValueExA(key.get(), kProductName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                          static_cast<DWORD>(lstrlenA(command) + 1)) == ERROR_SUCCESS;
}
