// The settings of one COM port in the settings store: values named after the port
// ("COM2_baud_rate"), see the kSettingPort* entries of base/settings_table.h.
#pragma once
#include <windows.h>

#include "modem/port_settings.h"

// A new record (LocalAlloc, zero-filled; the caller frees it with LocalFree) with the stored
// values of port 1 to 4, their defaults where none are stored. nullptr for another port number
// or when memory runs out.
PortSettings* LoadPortSettings(int port);
// Writes the values of port 1 to 4 (settings.name is not used: the port number names
// them). Returns true when every value was written.
bool SavePortSettings(int port, const PortSettings& settings);
