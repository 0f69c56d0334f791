// The caller-ID message of the line itself, as modems set to unformatted reporting pass it on:
// "MESG = 80..." with the message's bytes as hex digits. Two formats are sent between the first
// and the second ring: the single message (SDMF, type 0x04: date and time, then the number) and
// the multiple message (MDMF, type 0x80: parameters of type, length and value). The last byte
// makes the sum of all bytes 0 modulo 256.
#pragma once
#include <cstddef>

#include "base/call_record.h"

enum class CallerIdMessageResult {
    Report,     // a caller-ID report, checked and read
    Bad,        // a caller-ID report with wrong hex digits, lengths or checksum: gives nothing
    NotReport,  // another message (a message-waiting signal, say): ignored
};

struct CallerIdMessage {
    char dateTime[9];              // "MMDDhhmm", empty when the report has none
    char number[kCallTextSize];    // cut to 15 characters; "P" or "O" when only the reason came
    char name[kCallTextSize];      // cut to 15 characters
};

// Reads the hex digits of text (blanks around them allowed) as one message. Never reads past the
// text's end.
CallerIdMessageResult DecodeCallerIdMessage(const char* text, CallerIdMessage* message);
