// The line's caller-ID message as a modem passes it on in hex: the input's bytes are the message,
// and half the time they get the checksum that makes them whole, so the parameters are read too.
#include "base/text_utils.h"
#include "modem/caller_id_message.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool whole = (data[0] & 1) != 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (whole) {
        unsigned sum = 0;
        for (char c : bytes) sum += static_cast<unsigned char>(c);
        bytes += static_cast<char>((0x100 - sum % 0x100) % 0x100);
    }
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    std::vector<char> text = TextOf(reinterpret_cast<const uint8_t*>(hex.data()), hex.size());
    CallerIdMessage message;
    CallerIdMessageResult result = DecodeCallerIdMessage(text.data(), &message);
    for (const char* field : {message.dateTime, message.number, message.name}) {
        FUZZ_CHECK(std::none_of(field, field + strlen(field), IsControlChar));
    }
    FUZZ_CHECK(strnlen(message.number, sizeof message.number) < sizeof message.number);
    FUZZ_CHECK(strnlen(message.name, sizeof message.name) < sizeof message.name);
    if (result != CallerIdMessageResult::Report) FUZZ_CHECK(message.number[0] == '\0' && message.name[0] == '\0');
    if (result == CallerIdMessageResult::Report) {
        unsigned sum = 0;
        for (char c : bytes) sum += static_cast<unsigned char>(c);
        FUZZ_CHECK(sum % 0x100 == 0 && bytes.size() == static_cast<unsigned char>(bytes[1]) + 3u);
    }
    return 0;
}
