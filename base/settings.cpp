#include "base/settings.h"

#include "base/message_box_res.h"
#include "base/product.h"
#include "base/unique_handle.h"
#include "res/resource_ids.h"

namespace {

// "SOFTWARE\Quillex\Tellwire v1.2"
void FormatKeyPath(char (&path)[128]) {
    wsprintfA(path, "SOFTWARE\\%s\\%s v%s", kMakerName, kProductName, kSettingsKeyVersion);
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

int ReadSetting(const char* name, void* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return -1;
    ZeroMemory(buffer, size);
    if (name == nullptr) return -1;
    char path[128];
    FormatKeyPath(path);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &opened) != ERROR_SUCCESS) return -1;
    OwnedKey key(opened);
    DWORD type = REG_NONE;
    DWORD got = size;
    LONG rc = RegQueryValueExA(key.get(), name, nullptr, &type, static_cast<BYTE*>(buffer), &got);
    key.reset();
    BYTE* bytes = static_cast<BYTE*>(buffer);
    // A text that fills the buffer to the last byte has no terminator: callers would read past
    // the end, so it is as missing as a value that does not fit at all.
    bool unterminated = rc == ERROR_SUCCESS && IsTextType(type) && got == size && bytes[size - 1] != 0;
    // A number is four bytes: a shorter value (an empty one from a hand edit or a broken
    // import) would read as a number made of its bytes and zeros, a baud rate of 0 for one.
    bool malformedNumber = rc == ERROR_SUCCESS && type == REG_DWORD && got != sizeof(DWORD);
    if (rc != ERROR_SUCCESS || got > size || unterminated || malformedNumber) {
        ZeroMemory(buffer, size);  // a failed query may have left part of the value behind
        return -1;
    }
    ZeroMemory(bytes + got, size - got);
    return static_cast<int>(type);
}

LONG WriteSetting(const char* name, const void* data, DWORD size, DWORD type) {
    char path[128];
    FormatKeyPath(path);
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &opened);
    if (rc == ERROR_FILE_NOT_FOUND) {
        CreateSettingsKey();
        rc = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &opened);
    }
    if (rc != ERROR_SUCCESS) return rc;
    OwnedKey key(opened);
    if (data != nullptr && size != 0) {
        rc = RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
    } else {
        rc = RegDeleteValueA(key.get(), name);
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    }
    return rc;
}

DWORD ReadSettingDword(const char* name, DWORD defaultValue) {
    DWORD value = 0;
    if (ReadSetting(name, &value, sizeof value) != REG_DWORD) return defaultValue;
    return value;
}

LONG WriteSettingDword(const char* name, DWORD value) { return WriteSetting(name, &value, sizeof value, REG_DWORD); }

LONG CreateSettingsKey() {
    char makerPath[64];
    char productPath[64];
    wsprintfA(makerPath, "SOFTWARE\\%s", kMakerName);
    wsprintfA(productPath, "%s v%s", kProductName, kSettingsKeyVersion);
    HKEY made = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, makerPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &made, nullptr);
    if (rc == ERROR_SUCCESS) {
        OwnedKey maker(made);
        rc = RegCreateKeyExA(maker.get(), productPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                             &made, nullptr);
        if (rc == ERROR_SUCCESS) OwnedKey product(made);  // only made here: writers open it by its path
    }
    if (rc != ERROR_SUCCESS) {
        MessageBoxRes(nullptr, IDS_CREATE_KEY_FAILED, IDS_ERROR, MB_ICONERROR | MB_TOPMOST);
    }
    return rc;
}

void DeleteSettingsKey() {
    // SHDeleteKeyA removes a key with its subkeys on every Windows version; loaded by name so
    // that start-up does not depend on shlwapi.
    OwnedLibrary shlwapi(LoadLibraryA("SHLWAPI.DLL"));
    if (!shlwapi) return;
    using DeleteKeyFn = DWORD(WINAPI*)(HKEY, LPCSTR);
    auto deleteKey =
        reinterpret_cast<DeleteKeyFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi.get(), "SHDeleteKeyA")));
    if (deleteKey != nullptr) {
        char path[128];
        FormatKeyPath(path);
        deleteKey(HKEY_CURRENT_USER, path);
    }
}

DWORD ReadSettingDword(const SettingInfo& info, int port) {
    char name[kSettingNameSize];
    if (!MakeSettingName(name, sizeof name, info, port)) return info.defaultNumber;
    return ReadSettingDword(name, info.defaultNumber);
}

LONG WriteSettingDword(const SettingInfo& info, DWORD value, int port) {
    char name[kSettingNameSize];
    if (!MakeSettingName(name, sizeof name, info, port)) return ERROR_INVALID_PARAMETER;
    return WriteSettingDword(name, value);
}
