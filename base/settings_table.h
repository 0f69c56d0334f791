// Every value the program keeps under HKCU\SOFTWARE\Quillex\Tellwire v1.2, in one table: its
// name, registry type, the size it is read with, and its default. A value stored with another
// type reads as missing (its default), except the per-port texts, which are taken whatever
// their type. Defaults that depend on the machine ("snd_f", "clog", "pbook", "block", "font") are made
// by their owners; the table gives defaultText nullptr for them.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

struct SettingInfo {
    const char* name;         // per-port values start with "%s", filled with "COM1" to "COM4"
    uint32_t type;            // kRegSz, kRegBinary or kRegDword
    uint32_t readSize;        // bytes the owner reads it with; a larger stored value is missing
    uint32_t defaultNumber;   // for kRegDword values
    const char* defaultText;  // for kRegSz values with a fixed default
    bool perPort;
    bool anyType;             // per-port texts: read whatever type they were stored as
};

inline constexpr SettingInfo kSettingRole{"role", kRegDword, 4, 1, nullptr, false, false};
inline constexpr SettingInfo kSettingBroadcastAddress{"baddr", kRegSz, 20, 0, "255.255.255.255", false, false};
inline constexpr SettingInfo kSettingTextColour{"clrTxt", kRegDword, 4, 0x000000, nullptr, false, false};
inline constexpr SettingInfo kSettingBackColour{"clrBg", kRegDword, 4, 0xEFEFEF, nullptr, false, false};
inline constexpr SettingInfo kSettingMainWindow{"hWnd", kRegDword, 4, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingSelectedPage{"settsel", kRegSz, 256, 0, "", false, false};
inline constexpr SettingInfo kSettingFont{"font", kRegBinary, 60, 0, nullptr, false, false};  // one LOGFONTA
inline constexpr SettingInfo kSettingPopupsEnabled{"popup_e", kRegDword, 4, 1, nullptr, false, false};
inline constexpr SettingInfo kSettingPopupSeconds{"popup_t", kRegDword, 4, 30, nullptr, false, false};
inline constexpr SettingInfo kSettingShowNoCallerId{"popup_nocid", kRegDword, 4, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingSoundEnabled{"snd_e", kRegDword, 4, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingSoundFile{"snd_f", kRegSz, 260, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingCallerLogPath{"clog", kRegSz, 260, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingPhoneBookPath{"pbook", kRegSz, 260, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingHosts{"hosts", kRegSz, 8190, 0, "", false, false};
inline constexpr SettingInfo kSettingBlockListPath{"block", kRegSz, 260, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingBlockWithheld{"block_p", kRegDword, 4, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingBlockOutOfArea{"block_o", kRegDword, 4, 0, nullptr, false, false};
inline constexpr SettingInfo kSettingPortEnabled{"%s_enabled", kRegDword, 4, 0, nullptr, true, false};
inline constexpr SettingInfo kSettingPortBaudRate{"%s_baud_rate", kRegDword, 4, 115200, nullptr, true, false};
inline constexpr SettingInfo kSettingPortByteSize{"%s_byte_size", kRegDword, 4, 8, nullptr, true, false};
inline constexpr SettingInfo kSettingPortParity{"%s_parity", kRegDword, 4, 2, nullptr, true, false};
inline constexpr SettingInfo kSettingPortStopBits{"%s_stop_bits", kRegDword, 4, 0, nullptr, true, false};
inline constexpr SettingInfo kSettingPortEarly{"%s_early", kRegDword, 4, 0, nullptr, true, false};
inline constexpr SettingInfo kSettingPortInit{"%s_init", kRegSz, 64, 0, "", true, true};
inline constexpr SettingInfo kSettingPortCallerId{"%s_cid", kRegSz, 64, 0, "", true, true};
inline constexpr SettingInfo kSettingPortWindows{"%s_wnd", kRegSz, 1022, 0, "", true, true};
inline constexpr SettingInfo kSettingPortHangUp1{"%s_hangup1", kRegSz, 64, 0, "ATH1", true, true};
inline constexpr SettingInfo kSettingPortHangUp2{"%s_hangup2", kRegSz, 64, 0, "ATH0", true, true};

inline constexpr const SettingInfo* kAllSettings[] = {
    &kSettingRole,              &kSettingBroadcastAddress,  &kSettingTextColour,        &kSettingBackColour,
    &kSettingMainWindow,        &kSettingSelectedPage,      &kSettingFont,              &kSettingPopupsEnabled,
    &kSettingPopupSeconds,      &kSettingSoundEnabled,      &kSettingSoundFile,         &kSettingCallerLogPath,
    &kSettingPhoneBookPath,     &kSettingHosts,             &kSettingPortEnabled,       &kSettingPortBaudRate,
    &kSettingPortByteSize,      &kSettingPortParity,        &kSettingPortStopBits,      &kSettingPortInit,
    &kSettingPortCallerId,      &kSettingPortWindows,       &kSettingShowNoCallerId,    &kSettingPortEarly,
    &kSettingBlockListPath,     &kSettingBlockWithheld,     &kSettingBlockOutOfArea,    &kSettingPortHangUp1,
    &kSettingPortHangUp2,
};

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 4;
inline constexpr size_t kSettingNameSize = 32;

// The registry name of a value: the table's name, or for a per-port value the port's name
// ("COM2") in place of "%s", so "COM2_baud_rate". Returns false for a port outside 1 to 4.
bool MakeSettingName(char* out, size_t outSize, const SettingInfo& info, int port);
