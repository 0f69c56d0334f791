#include "modem/port_settings_store.h"

#include "base/settings.h"
#include "base/text_utils.h"
#include "modem/window_list.h"

namespace {

void MakePortName(char (&name)[kPortNameSize], int port) { wsprintfA(name, "COM%d", port); }

// Per-port texts are taken whatever type they were stored as (an old version, or a hand edit,
// may have left a REG_BINARY). Such a value may fill the buffer without a NUL; ReadSetting only
// checks text types for that, so the last byte is cleared here: the text is cut, never unended.
void ReadPortText(const SettingInfo& info, int port, char* buffer, DWORD size) {
    char name[kSettingNameSize];
    buffer[0] = '\0';
    if (!MakeSettingName(name, sizeof name, info, port)) return;
    ReadSetting(name, buffer, size);
    buffer[size - 1] = '\0';
}

bool WritePortText(const SettingInfo& info, int port, const char* text) {
    char name[kSettingNameSize];
    if (!MakeSettingName(name, sizeof name, info, port)) return false;
    // Length plus the NUL: an empty text stays a value of its own rather than a deleted one.
    DWORD size = static_cast<DWORD>(lstrlenA(text) + 1);
    return WriteSetting(name, text, size, REG_SZ) == ERROR_SUCCESS;
}

}  // namespace

PortSettings* LoadPortSettings(int port) {
    if (port < kFirstPort || port > kLastPort) return nullptr;
    auto* settings = static_cast<PortSettings*>(LocalAlloc(LPTR, sizeof(PortSettings)));
    if (settings == nullptr) return nullptr;
    MakePortName(settings->name, port);
    settings->enabled = ReadSettingDword(kSettingPortEnabled, port);
    settings->baud_rate = ReadSettingDword(kSettingPortBaudRate, port);
    settings->byte_size = ReadSettingDword(kSettingPortByteSize, port);
    settings->parity = ReadSettingDword(kSettingPortParity, port);
    settings->stop_bits = ReadSettingDword(kSettingPortStopBits, port);
    settings->early = ReadSettingDword(kSettingPortEarly, port);
    ReadPortText(kSettingPortInit, port, settings->init, sizeof settings->init);
    ReadPortText(kSettingPortCallerId, port, settings->cid, sizeof settings->cid);
    // The hang-up commands show their defaults until the user types others.
    ReadPortText(kSettingPortHangUp1, port, settings->hangup1, sizeof settings->hangup1);
    if (settings->hangup1[0] == '\0') CopyText(settings->hangup1, sizeof settings->hangup1, kSettingPortHangUp1.defaultText);
    ReadPortText(kSettingPortHangUp2, port, settings->hangup2, sizeof settings->hangup2);
    if (settings->hangup2[0] == '\0') CopyText(settings->hangup2, sizeof settings->hangup2, kSettingPortHangUp2.defaultText);
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
    ok = WritePortText(kSettingPortWindows, port, stored) && ok;
    // The record may come from anywhere: its texts are copied so that an unended one is cut.
    char text[kModemCommandSize];
    CopyTextN(text, sizeof text, settings.init, sizeof settings.init);
    ok = WritePortText(kSettingPortInit, port, text) && ok;
    CopyTextN(text, sizeof text, settings.cid, sizeof settings.cid);
    ok = WritePortText(kSettingPortCallerId, port, text) && ok;
    CopyTextN(text, sizeof text, settings.hangup1, sizeof settings.hangup1);
    ok = WritePortText(kSettingPortHangUp1, port, text) && ok;
    CopyTextN(text, sizeof text, settings.hangup2, sizeof settings.hangup2);
    ok = WritePortText(kSettingPortHangUp2, port, text) && ok;
    return ok;
}
