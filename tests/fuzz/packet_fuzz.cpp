// A datagram as the network agent takes it: at most 256 bytes with a NUL put behind them, its
// header checked against the receiver's own stamp, its payload classified and, for a call, read
// by the call grammar into a number and a name that hold no control character, whatever came.
// Every payload must also survive the way out: built into a packet by the sender and read back
// by another copy.
//
// Input: the datagram's bytes (more than 256 are lost on the way, as the socket drops them).
#include <cstring>

#include "base/text_utils.h"
#include "net/packet.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr uint32_t kOwnStamp = 977;

bool HoldsNoControlChar(const char* text) {
    for (; *text != '\0'; ++text) {
        if (IsControlChar(*text)) return false;
    }
    return true;
}

void CheckCall(const char* payload) {
    CallPayload call = ReadCallPayload(payload);
    size_t length = strnlen(call.number, sizeof call.number);
    FUZZ_CHECK(length < sizeof call.number && strnlen(call.name, sizeof call.name) < sizeof call.name);
    if (call.valid) {
        FUZZ_CHECK(length >= 1 && length <= kMaxCallNumberLength && std::strchr(call.number, '/') == nullptr);
        FUZZ_CHECK(HoldsNoControlChar(call.number) && HoldsNoControlChar(call.name));
        FUZZ_CHECK(ClassifyPayload(payload) == PayloadKind::Call || MatchKeyword(payload, kCallKeyword) != 0);
    } else {
        FUZZ_CHECK(call.number[0] == '\0' && call.name[0] == '\0');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(kReceiveCapacity)) size = kReceiveCapacity;
    std::vector<char> text = TextOf(data, size);

    PacketHeader header = ReadPacketHeader(text.data(), kOwnStamp);
    if (header.result == HeaderResult::Own) FUZZ_CHECK(header.stamp == kOwnStamp && header.payload == nullptr);
    if (header.result == HeaderResult::Accepted) {
        FUZZ_CHECK(header.payload > text.data() && header.payload <= text.data() + strlen(text.data()));
        FUZZ_CHECK(header.payload[-1] == '>');
        PayloadKind kind = ClassifyPayload(header.payload);
        if (kind == PayloadKind::Call) CheckCall(header.payload);
    }
    // Read as a packet of the copy with the stamp it carries: its own, never logged.
    PacketHeader again = ReadPacketHeader(text.data(), header.stamp);
    if (header.result != HeaderResult::Wrong) FUZZ_CHECK(again.result == HeaderResult::Own);

    // The whole text as a payload: the grammar must hold for any text behind ">".
    ClassifyPayload(text.data());
    CheckCall(text.data());

    // The way out: what a sender builds from this payload, another copy reads back unchanged.
    std::vector<char> packet(kPacketTextSize, '\0');
    uint32_t stamp = header.stamp + 1;
    int sentBytes = BuildPacket(packet.data(), packet.size(), stamp, text.data());
    FUZZ_CHECK(sentBytes >= 1 && static_cast<size_t>(sentBytes) <= packet.size());
    FUZZ_CHECK(packet[static_cast<size_t>(sentBytes) - 1] == '\0');
    FUZZ_CHECK(static_cast<size_t>(sentBytes) == strlen(packet.data()) + 1);
    PacketHeader built = ReadPacketHeader(packet.data(), stamp + 1);
    FUZZ_CHECK(built.result == HeaderResult::Accepted && built.stamp == stamp);
    FUZZ_CHECK(std::strcmp(built.payload, text.data()) == 0);
    // A short buffer cuts the packet but still ends it.
    std::vector<char> shortPacket(16, '\0');
    int shortBytes = BuildPacket(shortPacket.data(), shortPacket.size(), stamp, text.data());
    FUZZ_CHECK(shortBytes >= 1 && static_cast<size_t>(shortBytes) <= shortPacket.size());

    IsDottedAddress(text.data());
    if (size >= 4) {
        std::vector<char> sender(kSenderTextSize, '\0');
        size_t length = FormatSenderText(sender.data(), sender.size(), data);
        FUZZ_CHECK(length >= 7 && length <= 15 && length == strlen(sender.data()));
        std::vector<char> tiny(4, '\0');
        FUZZ_CHECK(FormatSenderText(tiny.data(), tiny.size(), data) == 3);
    }
    return 0;
}
