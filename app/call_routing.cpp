#include "app/call_routing.h"

#include <cstdio>

#include "base/roles.h"

namespace {
size_t Written(int written, size_t outSize) {
    if (written < 0) return 0;
    return static_cast<size_t>(written) < outSize ? static_cast<size_t>(written) : outSize - 1;
}
}  // namespace

CallRouting RouteModemCall(uint32_t role, const char* number) {
    CallRouting routing{};
    routing.announce = role == kRoleModem || role == kRoleBroadcast;
    routing.broadcast = role == kRoleBroadcast && number != nullptr && number[0] != '\0';
    return routing;
}

bool BroadcastsRings(uint32_t role) { return role == kRoleBroadcast; }

size_t FormatCallText(char* out, size_t outSize, const char* number, const char* name) {
    if (out == nullptr || outSize == 0) return 0;
    return Written(std::snprintf(out, outSize, "%s:%s/%s", "CLRID", number ? number : "", name ? name : ""), outSize);
}

size_t FormatRingText(char* out, size_t outSize, uint32_t ringCount) {
    if (out == nullptr || outSize == 0) return 0;
    return Written(std::snprintf(out, outSize, "%s:%d", "RNG", static_cast<int>(ringCount)), outSize);
}

size_t FormatPopupText(char* out, size_t outSize, const char* name, const char* formattedNumber) {
    if (out == nullptr || outSize == 0) return 0;
    if (formattedNumber == nullptr || formattedNumber[0] == '\0') {
        return Written(std::snprintf(out, outSize, "%s", name ? name : ""), outSize);
    }
    return Written(std::snprintf(out, outSize, "%s\r\n%s", name ? name : "", formattedNumber), outSize);
}
