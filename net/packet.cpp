#include "net/packet.h"

#include <cstdio>
#include <cstring>

#include "base/compare_text.h"
#include "base/product.h"
#include "base/text_utils.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* at) {
    while (IsBlank(*at)) ++at;
    return at;
}

size_t Written(int result, size_t outSize) {
    if (result < 0) return 0;
    size_t length = static_cast<size_t>(result);
    return length < outSize ? length : outSize - 1;
}

}  // namespace

size_t MatchKeyword(const char* text, const char* keyword) {
    if (text == nullptr || keyword == nullptr) return 0;
    size_t length = strlen(keyword);
    if (length == 0 || strnlen(text, length) < length) return 0;
    int n = static_cast<int>(length);
    return CompareTextNoCase(text, n, keyword, n) == 0 ? length : 0;
}

int BuildPacket(char* out, size_t outSize, uint32_t stamp, const char* payload) {
    if (out == nullptr || outSize == 0) return 0;
    size_t length = Written(std::snprintf(out, outSize, "%s:%lu>%s", kProductName, static_cast<unsigned long>(stamp),
                                          payload != nullptr ? payload : ""),
                            outSize);
    out[length] = '\0';
    return static_cast<int>(length + 1);
}

PacketHeader ReadPacketHeader(const char* text, uint32_t ownStamp) {
    PacketHeader header{HeaderResult::Wrong, 0, nullptr};
    size_t name = MatchKeyword(text, kProductName);
    if (name == 0 || text[name] != ':') return header;
    const char* at = text + name + 1;
    uint32_t stamp = 0;
    for (; IsDigit(*at); ++at) stamp = stamp * 10u + static_cast<uint32_t>(*at - '0');
    if (stamp == ownStamp) return {HeaderResult::Own, stamp, nullptr};
    if (*at != '>') return {HeaderResult::Wrong, stamp, nullptr};
    return {HeaderResult::Accepted, stamp, at + 1};
}

PayloadKind ClassifyPayload(const char* payload) {
    if (MatchKeyword(payload, kServerKeyword) != 0) return PayloadKind::Server;
    if (MatchKeyword(payload, kClientKeyword) != 0) return PayloadKind::Client;
    if (MatchKeyword(payload, kRingKeyword) != 0) return PayloadKind::Ring;
    if (MatchKeyword(payload, kCallKeyword) != 0) return PayloadKind::Call;
    return PayloadKind::Unknown;
}

CallPayload ReadCallPayload(const char* payload) {
    CallPayload call{};
    size_t keyword = MatchKeyword(payload, kCallKeyword);
    if (keyword == 0) return call;
    const char* at = SkipBlanks(payload + keyword);
    if (*at != ':') return call;
    at = SkipBlanks(at + 1);
    const char* number = at;
    while (*at != '/' && !IsControlChar(*at)) ++at;  // the NUL is a control character too
    size_t length = static_cast<size_t>(at - number);
    if (length == 0 || length > kMaxCallNumberLength || *at != '/') return call;
    CopyTextN(call.number, sizeof call.number, number, length);
    CopyText(call.name, sizeof call.name, at + 1);
    ReplaceControlChars(call.name);
    call.valid = true;
    return call;
}

bool IsDottedAddress(const char* host) {
    if (host == nullptr) return false;
    // atoi's reading, with the value held at the first digit that makes it positive: atoi itself
    // is undefined past INT_MAX, and only "greater than 0" matters here.
    const char* at = host;
    while (*at == ' ' || (*at >= '\t' && *at <= '\r')) ++at;
    bool negative = false;
    if (*at == '+' || *at == '-') negative = *at++ == '-';
    bool positive = false;
    for (; IsDigit(*at); ++at) {
        if (*at != '0') positive = true;
    }
    return positive && !negative;
}

size_t FormatSenderText(char* out, size_t outSize, const unsigned char address[4]) {
    if (out == nullptr || outSize == 0) return 0;
    if (address == nullptr) {
        out[0] = '\0';
        return 0;
    }
    return Written(std::snprintf(out, outSize, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]),
                   outSize);
}
