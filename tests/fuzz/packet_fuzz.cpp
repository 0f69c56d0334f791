// A datagram as the network agent takes it (256 bytes at most): its header; any text as a call, whose
// number and name hold no control character; and the same text sent in a packet and read back.
#include "base/text_utils.h"
#include "net/packet.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text = TextOf(data, std::min(size, static_cast<size_t>(kReceiveCapacity)));
    PacketHeader header = ReadPacketHeader(text.data(), 977);
    if (header.result == HeaderResult::Own) FUZZ_CHECK(header.stamp == 977 && header.payload == nullptr);
    if (header.result == HeaderResult::Accepted) {
        FUZZ_CHECK(header.payload > text.data() && header.payload[-1] == '>');
        FUZZ_CHECK(ReadPacketHeader(text.data(), header.stamp).result == HeaderResult::Own);  // its sender's own
    }
    CallPayload call = ReadCallPayload(text.data());
    size_t length = strnlen(call.number, sizeof call.number);
    FUZZ_CHECK(length < sizeof call.number && strnlen(call.name, sizeof call.name) < sizeof call.name);
    FUZZ_CHECK(call.valid ? length >= 1 && length <= kMaxCallNumberLength && !std::strchr(call.number, '/') &&
                                MatchKeyword(text.data(), kCallKeyword) != 0
                          : call.number[0] == '\0' && call.name[0] == '\0');
    for (const char* cell : {call.number, call.name}) FUZZ_CHECK(std::none_of(cell, cell + strlen(cell), IsControlChar));

    std::vector<char> packet(kPacketTextSize, '\0');
    int sent = BuildPacket(packet.data(), packet.size(), header.stamp + 1, text.data());
    FUZZ_CHECK(sent >= 1 && static_cast<size_t>(sent) == strlen(packet.data()) + 1);
    PacketHeader built = ReadPacketHeader(packet.data(), header.stamp + 2);
    FUZZ_CHECK(built.result == HeaderResult::Accepted && built.stamp == header.stamp + 1);
    FUZZ_CHECK(std::strcmp(built.payload, text.data()) == 0);
    return 0;
}
