// Names the program shows and stores under. The settings key, the popup class and every caption
// come from here, so a rename or a new version changes one file.
#pragma once

inline constexpr char kProductName[] = "Tellwire";
// The version comes from the build (the project's VERSION in CMakeLists.txt), as do the resource
// script's version block and the manifest's.
#ifndef TELLWIRE_VERSION
#error "TELLWIRE_VERSION comes from the build: configure through CMakeLists.txt"
#endif
inline constexpr char kProductVersion[] = TELLWIRE_VERSION;
// The settings live under "Tellwire v1.2" whatever the program's version: a later version finds
// the settings an earlier one kept.
inline constexpr char kSettingsKeyVersion[] = "1.2";
inline constexpr char kMakerName[] = "Quillex";
// Where crash reports and support mail go (the Support page shows it, the crash reporter sends to it).
inline constexpr char kSupportAddress[] = "support@tellwire.quillex.example";
// Window class of the popups; a 7-character name that other copies and tools search for.
inline constexpr char kPopupClassName[] = "TLWRWN1";

// Where Winsock traffic goes: every datagram is sent from and to this port.
inline constexpr unsigned short kUdpPort = 30307;
