// What travels between the copies of Tellwire on a LAN: one UDP datagram per packet, a single line
// "Tellwire:stamp>payload" followed by its zero byte (the zero byte is sent too). The stamp is the
// tick count at which the sending copy's network agent started; it tells a copy its own packets
// apart, since a broadcast comes back to its sender. Pure functions only: the agent does the
// logging and the sending.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr size_t kPacketTextSize = 2048;    // a packet's text as it is built for sending
inline constexpr int kReceiveCapacity = 256;       // the most a receiver takes from one datagram
inline constexpr size_t kSenderTextSize = 128;     // "192.168.1.20" and room to spare
inline constexpr size_t kCallFieldSize = 256;      // number and name of a received call
inline constexpr size_t kMaxCallNumberLength = 255;

// Payload keywords; matched at the start of the payload without regard to case.
inline constexpr char kServerKeyword[] = "Server";  // announcement of a broadcasting copy
inline constexpr char kClientKeyword[] = "Client";  // reply of a listening copy
inline constexpr char kRingKeyword[] = "RNG";       // RNG:count
inline constexpr char kCallKeyword[] = "CLRID";     // CLRID:number/name

// Length of keyword when text begins with it (compared through CompareTextNoCase), else 0. A text
// shorter than the keyword never matches; a missing argument never matches.
size_t MatchKeyword(const char* text, const char* keyword);

// Writes "Tellwire:stamp>payload" into out (cut to outSize). Returns the number of bytes to send:
// the text's length plus its zero byte; 0 when out is missing or outSize is 0.
int BuildPacket(char* out, size_t outSize, uint32_t stamp, const char* payload);

enum class HeaderResult {
    Accepted,  // payload points behind ">"
    Wrong,     // not our product, or ":" or ">" missing: worth a log line
    Own,       // carries the receiver's own stamp: its own packet come back, dropped silently
};

struct PacketHeader {
    HeaderResult result;
    uint32_t stamp;       // the digits after ":" (0 when there are none; wraps at 32 bits)
    const char* payload;  // into the text, only when Accepted
};

// Reads the header of a received, zero-terminated text. The own-stamp test comes before the
// test for ">", so a packet of this copy is never logged, however it is cut.
PacketHeader ReadPacketHeader(const char* text, uint32_t ownStamp);

enum class PayloadKind { Server, Client, Ring, Call, Unknown };

// The keywords are tried in the order Server, Client, RNG, CLRID; a prefix match decides, so
// "server" and "SERVER:x" are announcements and "Serve" is nothing.
PayloadKind ClassifyPayload(const char* payload);

struct CallPayload {
    bool valid;
    char number[kCallFieldSize];  // 1 to 255 characters, none of them "/" or a control character
    char name[kCallFieldSize];    // the first 255 characters of the rest, controls made spaces; may be empty
};

// "CLRID", blanks, ":", blanks, the number, "/", the name. The number is what the broadcaster's
// modem reported, as it reported it: digits, but also "P" (withheld), "O" (out of area), or
// digits with blanks and dashes; a listener takes every one of them, as the broadcasting
// computer shows them itself. Anything else is not valid (and the record's texts are then empty).
// The name comes with every control character made a space: what arrives over the LAN is shown
// and logged, never able to start a line of its own.
CallPayload ReadCallPayload(const char* payload);

// The destination rule of a send: a host text whose leading decimal number (read as atoi reads
// it: blanks, a sign, digits) is greater than 0 is a dotted address; anything else is a host name
// to resolve. So 255.255.255.255 is an address and 0.0.0.0 is looked up as a name. A name may
// begin with a digit too ("2ndfloor-pc"): the transport resolves whatever inet_addr cannot read.
bool IsDottedAddress(const char* host);

// "a.b.c.d" from the four bytes of an IPv4 address in network order (first byte first).
size_t FormatSenderText(char* out, size_t outSize, const unsigned char address[4]);
