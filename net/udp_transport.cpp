#include "net/udp_transport.h"

#include <cstring>

#include "base/process_state.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"
#include "net/packet.h"

namespace {

bool SetBlocking(SOCKET socket, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

bool FillDestination(const char* host, uint16_t port, sockaddr_in* destination) {
    memset(destination, 0, sizeof *destination);
    destination->sin_port = htons(port);
    if (IsDottedAddress(host)) {
        // inet_addr answers INADDR_NONE, which is 255.255.255.255, also for a text it cannot read:
        // a host named "2ndfloor-pc" begins with a digit, and taken as that answer every call
        // would go to the whole segment while the host itself got nothing. Only the broadcast
        // address itself stands for the broadcast; any other such text is a name.
        unsigned long address = inet_addr(host);
        if (address != INADDR_NONE || strcmp(host, "255.255.255.255") == 0) {
            destination->sin_family = AF_INET;
            destination->sin_addr.s_addr = address;
            return true;
        }
    }
    hostent* entry = gethostbyname(host);
    if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr) return false;
    size_t length = entry->h_length > 0 ? static_cast<size_t>(entry->h_length) : 0;
    if (length > sizeof destination->sin_addr) length = sizeof destination->sin_addr;
    destination->sin_family = entry->h_addrtype;
    memcpy(&destination->sin_addr, entry->h_addr_list[0], length);
    return true;
}

}  // namespace

SOCKET UdpOpen(uint32_t address, uint16_t port) {
    OwnedSocket made(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!made) return INVALID_SOCKET;
    int allow = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (!SetBlocking(made.get(), false) ||
        setsockopt(made.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allow), sizeof allow) != 0 ||
        bind(made.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        int error = WSAGetLastError();  // closing must not hide why (a port another program holds)
        made.reset();
        WSASetLastError(error);
        return INVALID_SOCKET;
    }
    return made.release();
}

int UdpSend(SOCKET socket, const char* host, uint16_t port, const char* data, int length) {
    if (socket == INVALID_SOCKET || host == nullptr || data == nullptr || length < 0) return 0;
    sockaddr_in destination;
    if (!FillDestination(host, port, &destination)) return 0;
    // Blocking for the one send only: a full send buffer then waits instead of refusing the
    // datagram, while the receive side keeps polling without ever waiting.
    SetBlocking(socket, true);
    int sent = sendto(socket, data, length, 0, reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    DWORD error = sent == SOCKET_ERROR ? static_cast<DWORD>(WSAGetLastError()) : 0;
    SetBlocking(socket, false);
    if (sent == SOCKET_ERROR) {
        LogPrintf("UDP send error: %lu (%d bytes)", error, length);
        return 0;
    }
    return 1;
}

int UdpReceive(SOCKET socket, char* buffer, int capacity, char* sender, size_t senderSize) {
    if (sender != nullptr && senderSize > 0) sender[0] = '\0';
    if (socket == INVALID_SOCKET || buffer == nullptr || capacity <= 0) return 0;
    sockaddr_in from{};
    int fromSize = sizeof from;
    // Non-blocking: an empty queue fails at once, and so does a datagram longer than capacity,
    // which the library drops rather than cut.
    int received = recvfrom(socket, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (received <= 0 || received > capacity) return 0;
    if (sender == nullptr || senderSize == 0) return received;
    char text[kSenderTextSize];
    FormatSenderText(text, sizeof text, reinterpret_cast<const unsigned char*>(&from.sin_addr));
    uint16_t port = ntohs(from.sin_port);
    if (port != g_state.udpPort) {
        // The bytes are not terminated here: show a terminated copy of exactly what came.
        char shown[kReceiveCapacity + 1];
        CopyTextN(shown, sizeof shown, buffer, static_cast<size_t>(received));
        LogPrintf("Packet from %s:%u ignored (%d bytes, \"%20s\")", text, static_cast<unsigned>(port), received, shown);
        return 0;
    }
    CopyText(sender, senderSize, text);
    return received;
}
