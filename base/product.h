// Names the program shows and stores under. The settings key, the popup class and every caption
// come from here, so a rename or a new version changes one file.
#pragma once

inline constexpr char kProductName[] = "Tellwire";
inline constexpr char kProductVersion[] = "1.2";
inline constexpr char kMakerName[] = "Quillex";
// Where crash reports and support mail go (the Support page shows it, the crash reporter sends to it).
inline constexpr char kSupportAddress[] = "support@tellwire.quillex.example";
// Window class of the popups; a 7-character name that other copies and tools search for.
inline constexpr char kPopupClassName[] = "TLWRWN1";

// Where Winsock traffic goes: every datagram is sent from and to this port.
inline constexpr unsigned short kUdpPort = 30307;
