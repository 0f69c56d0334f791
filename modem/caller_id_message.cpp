#include "modem/caller_id_message.h"

#include <cstdint>
#include <cstring>

#include "base/text_utils.h"

namespace {

constexpr uint8_t kSingleMessage = 0x04;
constexpr uint8_t kMultipleMessage = 0x80;
constexpr uint8_t kDateTime = 0x01;
constexpr uint8_t kNumber = 0x02;
constexpr uint8_t kNoNumberReason = 0x04;
constexpr uint8_t kName = 0x07;
constexpr size_t kDateTimeLength = 8;
constexpr size_t kMaxBytes = 3 + 255;  // type, length, at most 255 bytes of data, checksum

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The field's bytes as text, cut to the field's size; a NUL in the data ends it there.
void TakeField(char* field, size_t fieldSize, const uint8_t* data, size_t length) {
    size_t used = 0;
    while (used < length && used + 1 < fieldSize && data[used] != 0) {
        field[used] = static_cast<char>(data[used]);
        ++used;
    }
    field[used] = '\0';
    ReplaceControlChars(field);
}

CallerIdMessageResult Decode(const char* text, CallerIdMessage* message) {
    while (IsBlank(*text)) ++text;
    size_t digits = 0;
    while (HexValue(text[digits]) >= 0) ++digits;
    const char* rest = text + digits;
    while (IsBlank(*rest)) ++rest;
    if (digits < 2) return CallerIdMessageResult::NotReport;
    const int type = HexValue(text[0]) * 16 + HexValue(text[1]);
    if (type != kSingleMessage && type != kMultipleMessage) return CallerIdMessageResult::NotReport;
    if (digits % 2 != 0 || *rest != '\0' || digits / 2 > kMaxBytes) return CallerIdMessageResult::Bad;
    uint8_t bytes[kMaxBytes];
    const size_t count = digits / 2;
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(HexValue(text[2 * i]) * 16 + HexValue(text[2 * i + 1]));
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    if (count < 3 || static_cast<size_t>(bytes[1]) + 3 != count || sum != 0) return CallerIdMessageResult::Bad;

    const uint8_t* data = bytes + 2;
    const size_t length = bytes[1];
    char reason[kCallTextSize] = "";
    if (bytes[0] == kSingleMessage) {
        if (length < kDateTimeLength) return CallerIdMessageResult::Bad;
        TakeField(message->dateTime, sizeof message->dateTime, data, kDateTimeLength);
        TakeField(message->number, sizeof message->number, data + kDateTimeLength, length - kDateTimeLength);
    } else {
        for (size_t at = 0; at < length;) {
            if (at + 2 > length || at + 2 + data[at + 1] > length) return CallerIdMessageResult::Bad;
            const uint8_t type = data[at];
            const uint8_t* value = data + at + 2;
            const size_t valueLength = data[at + 1];
            if (type == kDateTime) TakeField(message->dateTime, sizeof message->dateTime, value, valueLength);
            if (type == kNumber) TakeField(message->number, sizeof message->number, value, valueLength);
            if (type == kNoNumberReason) TakeField(reason, sizeof reason, value, valueLength);
            if (type == kName) TakeField(message->name, sizeof message->name, value, valueLength);
            at += 2 + valueLength;
        }
    }
    if (message->number[0] == '\0') CopyText(message->number, sizeof message->number, reason);
    return CallerIdMessageResult::Report;
}

}  // namespace

CallerIdMessageResult DecodeCallerIdMessage(const char* text, CallerIdMessage* message) {
    // A report broken half way gives nothing, not the fields read before the break.
    CallerIdMessage found{};
    CallerIdMessageResult result = Decode(text, &found);
    *message = result == CallerIdMessageResult::Report ? found : CallerIdMessage{};
    return result;
}
