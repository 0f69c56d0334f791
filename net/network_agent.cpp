#include "net/network_agent.h"

#include <atomic>
#include <cstring>

#include "base/call_events.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/roles.h"
#include "base/thread_wait.h"
#include "base/unique_handle.h"
#include "base/win_clock.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "net/packet.h"
#include "net/shared_host_list.h"
#include "net/udp_transport.h"
#include "present/phone_book_lookup.h"
#include "present/popup_window.h"
#include "res/resource_ids.h"

namespace {

constexpr DWORD kPassMs = 500;                 // each pass polls the socket once
constexpr DWORD kStopCheckMs = 100;            // how soon a pass notices the stop flag
constexpr uint32_t kAnnounceEveryMs = 60000;
// The first announcement is due 2 s after start, not at once: the network (and, after a log-on,
// the adapter's address) has a moment to come up, and a copy that was already broadcasting hears
// the newcomer's announcement and steps down in its favour.
constexpr uint32_t kFirstAnnounceAfterMs = 2000;
// The agent notices a stop within a tenth of a second; only a host name that the system is
// still looking up can hold it longer, and the program does not wait for that.
constexpr DWORD kStopWaitMs = 1000;
// Datagrams taken from the socket in one pass at the most: enough that a peer flooding the port
// cannot bury a real call behind minutes of junk, few enough that the pass still comes round to
// the texts it has to send.
constexpr int kDatagramsPerPass = 256;

std::atomic<uint32_t> s_instanceStamp{0};  // written by the agent thread when it starts

// Builds the packet for payload and sends it to host on the system's port; the result is ignored.
void SendPacket(SOCKET socket, const char* host, const char* payload) {
    char packet[kPacketTextSize];
    int length = BuildPacket(packet, sizeof packet, s_instanceStamp, payload);
    if (length > 0) UdpSend(socket, host, g_state.udpPort, packet, length);
}

// SendPacket to every target host of the host list, in the list's order.
void SendToHosts(SOCKET socket, const char* payload) {
    // Copied out first: the list stays locked only while it is read, not while the system looks
    // host names up.
    char hosts[kHostBlockSize];
    GetTargetHosts(hosts, sizeof hosts);
    // A multi-string: texts ending in a zero byte, an empty one last.
    // Walked within the block, so a list that somehow filled it cannot lead past its end.
    size_t at = 0;
    while (at < sizeof hosts && hosts[at] != '\0') {
        size_t length = strnlen(hosts + at, sizeof hosts - at);
        if (at + length >= sizeof hosts) break;  // not terminated inside the block
        SendPacket(socket, hosts + at, payload);
        at += length + 1;
    }
}

// Takes every waiting thread message without waiting. False once TMSG_STOP_THREAD was taken;
// the texts queued behind it are freed unsent.
bool TakeAgentMessages(SOCKET socket) {
    bool goOn = true;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == static_cast<UINT>(TMSG_AGENT_TEXT)) {
            char* text = reinterpret_cast<char*>(message.lParam);
            bool send = text != nullptr && goOn && socket != INVALID_SOCKET && GetRole() == kRoleBroadcast;
            if (send) SendToHosts(socket, text);
            LocalFree(text);  // the agent owns every block it was handed, in every role
        } else if (message.message == static_cast<UINT>(TMSG_STOP_THREAD)) {
            goOn = false;
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return goOn;
}

// The pause between passes, cut short by a text or the stop posted to the thread (which are
// then taken at once) and by the program's stop flag.
void WaitForNextPass() {
    DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < kPassMs && g_state.stop == 0; waited = TicksSince(start)) {
        DWORD slice = kPassMs - waited < kStopCheckMs ? kPassMs - waited : kStopCheckMs;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_POSTMESSAGE) == WAIT_OBJECT_0) return;
    }
}

void PostCommandToMainWindow(int command) {
    HWND main = g_win.mainWindow;
    if (main != nullptr) PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(command), 0);  // posted, never sent
}

// Another copy announces while this one broadcasts: a LAN carries one broadcaster only, and the
// one that hears the other first gives way.
void StepDown() {
    g_state.role = kRoleListen;
    ShowPopupFromStrings(IDS_ERROR, IDS_TWO_SERVERS);
    PostCommandToMainWindow(CMD_STOP);  // stops the work here; the pages' save keeps role 1
}

void PresentReceivedCall(const char* payload) {
    CallPayload call = ReadCallPayload(payload);
    if (!call.valid) {
        LogPrintf("Wrong packet format: \"%s\"", payload);
        return;
    }
    char contact[kCallFieldSize] = {};
    bool known = LookupPhoneBook(call.number, contact, sizeof contact);
    AnnounceCall(known ? contact : call.name, call.number);
}

// Acts on one received, zero-terminated datagram from sender ("a.b.c.d").
void HandlePacket(SOCKET socket, const char* text, const char* sender) {
    PacketHeader header = ReadPacketHeader(text, s_instanceStamp);
    // Our own announcement comes back, as broadcasts do: dropped without a word.
    if (header.result == HeaderResult::Wrong) LogPrintf("Wrong packet received from %s", sender);
    if (header.result != HeaderResult::Accepted) return;
    switch (ClassifyPayload(header.payload)) {
    case PayloadKind::Server:
        g_state.otherBroadcasterSeen = 1;
        if (GetRole() == kRoleBroadcast) {
            StepDown();
        } else {
            SendPacket(socket, sender, kClientKeyword);
        }
        break;
    case PayloadKind::Client: AddDiscoveredHost(sender); break;
    case PayloadKind::Ring: PostCommandToMainWindow(CMD_RING); break;
    case PayloadKind::Call: PresentReceivedCall(header.payload); break;
    case PayloadKind::Unknown: LogPrintf("Wrong packet format: \"%s\"", header.payload); break;
    }
}

void ReceiveOne(SOCKET socket) {
    // One byte more than the capacity, so that a datagram of exactly the capacity still gets
    // its terminating zero inside the buffer.
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize];
    int received = UdpReceive(socket, buffer, kReceiveCapacity, sender, sizeof sender);
    if (received <= 0 || received > kReceiveCapacity || sender[0] == '\0' || !RoleUsesNetwork()) return;
    buffer[received] = '\0';
    HandlePacket(socket, buffer, sender);
}

void ReceiveWaiting(SOCKET socket) {
    u_long waiting = 1;
    for (int taken = 0; taken < kDatagramsPerPass && waiting > 0; ++taken) {
        ReceiveOne(socket);
        if (socket == INVALID_SOCKET || ioctlsocket(socket, FIONREAD, &waiting) != 0) return;
    }
}

// The port may be held by another program (another copy still ending, any program that took
// it): the program goes on without the network, says so once the log can show it, and tries
// again every minute, so the network comes back once the port is free.
SOCKET OpenSocketAgain(bool* failureTold) {
    SOCKET socket = UdpOpen(0, g_state.udpPort);
    if (socket != INVALID_SOCKET) {
        if (*failureTold) LogPrintf("UDP port %u open", static_cast<unsigned>(g_state.udpPort));
        *failureTold = false;
        return socket;
    }
    DWORD error = static_cast<DWORD>(WSAGetLastError());
    if (!*failureTold) {
        char reason[256];
        LogPrintf("Could not open UDP port %u: %lu %s", static_cast<unsigned>(g_state.udpPort), error,
                  ErrorText(error, reason, sizeof reason));
        *failureTold = true;
    }
    return INVALID_SOCKET;
}

DWORD WINAPI NetworkAgentThread(LPVOID) {
    // Gives this thread its message queue before anything else, so texts posted from now on
    // reach it instead of failing.
    GetDesktopWindow();
    MSG peek;
    PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
    s_instanceStamp = GetTickCount();

    // A failure here comes before the program log exists: the first retry, with the first
    // announcement, tells it.
    SOCKET socket = UdpOpen(0, g_state.udpPort);
    bool failureTold = false;

    uint32_t lastAnnounce = GetTickCount() - (kAnnounceEveryMs - kFirstAnnounceAfterMs);
    if (g_state.stop != 0) return 0;
    // The socket stays open until WSACleanup at exit: a stopped agent must not free the port for
    // a moment in which another program could take it.
    do {
        if (!TakeAgentMessages(socket)) break;
        WaitForNextPass();
        ReceiveWaiting(socket);
        // The timer runs in every role, so a computer switched to role 3 announces itself
        // within a minute.
        if (TicksSince(lastAnnounce) > kAnnounceEveryMs) {
            lastAnnounce = GetTickCount();
            if (socket == INVALID_SOCKET) socket = OpenSocketAgain(&failureTold);
            if (socket != INVALID_SOCKET && GetRole() == kRoleBroadcast) {
                SendPacket(socket, g_state.broadcastAddress, kServerKeyword);
            }
        }
    } while (g_state.stop == 0);
    return 0;
}

}  // namespace

uint32_t GetInstanceStamp() { return s_instanceStamp; }

void StartNetworkAgent() {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, NetworkAgentThread, nullptr, 0, &id);
    if (thread == nullptr) return;
    g_win.agentThread = thread;
    g_win.agentThreadId = id;
}

void StopNetworkAgent() {
    OwnedHandle thread(g_win.agentThread);
    if (!thread) return;
    PostThreadMessageA(g_win.agentThreadId, TMSG_STOP_THREAD, 0, 0);  // fails harmlessly if it has ended
    // The agent may be inside a message sent to a page (a call it adds to the caller log): carry
    // such sends out while waiting, or the wait would only end by running out. An agent still
    // busy after it is left to the end of the process; killing it could leave a lock of the
    // sockets library held.
    if (!WaitForThreadHandlingSends(thread.get(), kStopWaitMs)) LogPrintf("The network agent did not end");
    g_win.agentThread = nullptr;
    g_win.agentThreadId = 0;
}
