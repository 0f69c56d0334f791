// The settings store: named values under HKEY_CURRENT_USER\SOFTWARE\Quillex\Tellwire v1.2.
// Every operation opens and closes the key itself, so any thread may call them.
#pragma once
#include <windows.h>

#include "base/settings_table.h"

// Reads a value into buffer (zero-filled first). Returns its registry type, or -1 when the key
// or value is missing, or the value does not fit. A text value always comes back NUL-terminated:
// one that fills the whole buffer without a NUL counts as too large. A REG_DWORD of any other
// size than four bytes counts as missing.
int ReadSetting(const char* name, void* buffer, DWORD size);
// Writes a value, creating the key on first use. No data or size 0 deletes the value.
// Returns the registry's error code, 0 on success.
LONG WriteSetting(const char* name, const void* data, DWORD size, DWORD type);
// The stored number when the value exists as a REG_DWORD, else defaultValue.
DWORD ReadSettingDword(const char* name, DWORD defaultValue);
LONG WriteSettingDword(const char* name, DWORD value);
// Creates SOFTWARE\Quillex and the product key below it; tells the user when that fails.
LONG CreateSettingsKey();
// Removes the product key with everything in it; SOFTWARE\Quillex stays.
void DeleteSettingsKey();

// The table's view of the same: default applied, per-port names made from the port number.
DWORD ReadSettingDword(const SettingInfo& info, int port = 0);
LONG WriteSettingDword(const SettingInfo& info, DWORD value, int port = 0);
