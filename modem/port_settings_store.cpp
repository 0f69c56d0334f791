#include "modem/port_settings_store.h"

#include <algorithm>

#include "base/settings.h"
#include "base/text_utils.h"
#include "modem/window_list.h"

namespace {

// Per-port texts are taken whatever type they were stored as (an old version, or a hand edit,
// may have left a REG_BINARY). Such a value may fill the buffer without a NUL; ReadSetting only
// checks text types for that, so the last byte is cleared here: the text is cut, never unended.
// An empty text shows the default (the hang-up commands have one) until the user types another.
void ReadPortText(const SettingInfo& info, int port, char* buffer, DWORD size) {
    char name[kSettingNameSize];
    buffer[0] = '\0';
    if (MakeSettingName(name, sizeof name, info, port)) ReadSetting(name, buffer, size);
    buffer[size - 1] = '\0';
    if (buffer[0] == '\0') CopyText(buffer, size, info.defaultText);
}

// The record may come from anywhere: a text that fills its field of size bytes without a NUL is
// cut by its last character, as a text typed on the page would be.
bool WritePortText(const SettingInfo& info, int port, const char* text, size_t size) {
    char name[kSettingNameSize];
    char copy[kSettingPortWindows.readSize];
    if (!MakeSettingName(name, sizeof name, info, port)) return false;
    // Length plus the NUL: an empty text stays a value of its own rather than a deleted one.
    DWORD length = static_cast<DWORD>(CopyTextN(copy, std::min(size, sizeof copy), text, size) + 1);
    return WriteSetting(name, copy, length, REG_SZ) == ERROR_SUCCESS;
}

}  // namespace

PortSettings* LoadPortSettings(int port) {
    if (port < kFirstPort || port > kLastPort) return nullptr;
    auto* settings = static_cast<PortSettings*>(LocalAlloc(LPTR, sizeof(PortSettings)));
    if (settings == nullptr) return nullptr;
    wsprintfA(settings->name, "COM%d", port);
    settings->enabled = ReadSettingDword(kSettingPortEnabled, port);
    settings->baud_rate = ReadSettingDword(kSettingPortBaudRate, port);
    settings->byte_size = ReadSettingDword(kSettingPortByteSize, port);
    settings->parity = ReadSettingDword(kSettingPortParity, port);
    settings->stop_bits = ReadSettingDword(kSettingPortStopBits, port);
    settings->early = ReadSettingDword(kSettingPortEarly, port);
    ReadPortText(kSettingPortInit, port, settings->init, sizeof settings->init);
    ReadPortText(kSettingPortCallerId, port, settings->cid, sizeof settings->cid);
    ReadPortText(kSettingPortHangUp1, port, settings->hangup1, sizeof settings->hangup1);
    ReadPortText(kSettingPortHangUp2, port, settings->hangup2, sizeof settings->hangup2);
    char stored[kSettingPortWindows.readSize];
    ReadPortText(kSettingPortWindows, port, stored, sizeof stored);
    WindowListFromStored(stored, sizeof stored, settings->wnd, sizeof settings->wnd);
    return settings;
}

bool SavePortSettings(int port, const PortSettings& settings) {
    if (port < kFirstPort || port > kLastPort) return false;
    bool ok = WriteSettingDword(kSettingPortEnabled, settings.enabled, port) == ERROR_SUCCESS;
    ok = WriteSettingDword(kSettingPortBaudRate, settings.baud_rate, port) == ERROR_SUCCESS && ok;
    ok = WriteSettingDword(kSettingPortByteSize, settings.byte_size, port) == ERROR_SUCCESS && ok;
    ok = WriteSettingDword(kSettingPortParity, settings.parity, port) == ERROR_SUCCESS && ok;
    ok = WriteSettingDword(kSettingPortStopBits, settings.stop_bits, port) == ERROR_SUCCESS && ok;
    ok = WriteSettingDword(kSettingPortEarly, settings.early, port) == ERROR_SUCCESS && ok;
    char stored[kSettingPortWindows.readSize];
    WindowListToStored(settings.wnd, sizeof settings.wnd, stored, sizeof stored);
    ok = WritePortText(kSettingPortWindows, port, stored, sizeof stored) && ok;
    ok = WritePortText(kSettingPortInit, port, settings.init, sizeof settings.init) && ok;
    ok = WritePortText(kSettingPortCallerId, port, settings.cid, sizeof settings.cid) && ok;
    ok = WritePortText(kSettingPortHangUp1, port, settings.hangup1, sizeof settings.hangup1) && ok;
    ok = WritePortText(kSettingPortHangUp2, port, settings.hangup2, sizeof settings.hangup2) && ok;
    return ok;
}
