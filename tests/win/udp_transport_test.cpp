// The UDP socket and the agent's handling of packets, on the loopback interface of the bench's
// network namespace (it has only "lo", so nothing sent here can leave the machine). One socket
// holds the system's port; a second, plain socket on the next port plays a stray sender.
#include <windows.h>
#include <winsock.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "base/roles.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "net/network_agent.h"
#include "net/packet.h"
#include "net/udp_transport.h"
#include "tests/win/pump.h"

namespace {

constexpr uint16_t kStrayPort = 30308;
constexpr char kLoopback[] = "127.0.0.1";

std::vector<std::string> LogLines(HWND list) {
    std::vector<std::string> lines;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string line(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        line.resize(strlen(line.c_str()));
        lines.push_back(line.size() > 7 ? line.substr(7) : std::string());  // without the time column
    }
    return lines;
}

sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(kLoopback);
    return address;
}

class UdpTransport : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDefaults(&g_state);
        WSADATA winsock;
        started_ = WSAStartup(MAKEWORD(1, 1), &winsock) == 0;
        parent_ = CreateWindowExA(0, "STATIC", "log parent", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        log_ = CreateProgramLogPage(parent_);
        socket_ = UdpOpen(0, g_state.udpPort);
        stray_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in strayAddress = LoopbackAddress(kStrayPort);
        if (stray_ != INVALID_SOCKET &&
            bind(stray_, reinterpret_cast<const sockaddr*>(&strayAddress), sizeof strayAddress) != 0) {
            closesocket(stray_);
            stray_ = INVALID_SOCKET;
        }
    }
    static void TearDownTestSuite() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        if (stray_ != INVALID_SOCKET) closesocket(stray_);
        DestroyWindow(parent_);
        if (started_) WSACleanup();
    }
    void SetUp() override {
        // Everything here sends; only inside the bench's namespace is that known to stay local.
        if (getenv("TW_BENCH") == nullptr) GTEST_SKIP() << "runs only in the bench's prefix (TW_BENCH unset)";
        ASSERT_TRUE(started_);
        ASSERT_NE(INVALID_SOCKET, socket_) << "port " << g_state.udpPort << " is taken";
        ASSERT_NE(INVALID_SOCKET, stray_);
        ASSERT_NE(nullptr, log_);
        g_state.stop = 0;
        g_state.role = kRoleListen;
        g_state.otherBroadcasterSeen = 0;
        g_state.popupsEnabled = 0;
        Drain();
        SendMessageA(log_, LB_RESETCONTENT, 0, 0);
    }

    static void Drain() {
        char buffer[1024];
        while (recv(socket_, buffer, sizeof buffer, 0) != SOCKET_ERROR) {
        }
    }

    // Polls as the agent does until a datagram is taken (loopback delivers at once; the wait
    // only covers a slow machine).
    static int ReceiveWithin(DWORD ms, char* buffer, int capacity, char* sender, size_t senderSize) {
        DWORD start = GetTickCount();
        for (;;) {
            int received = UdpReceive(socket_, buffer, capacity, sender, senderSize);
            if (received > 0 || GetTickCount() - start > ms) return received;
            Sleep(10);
        }
    }

    static void SendFromStrayPort(const void* data, int length) {
        sockaddr_in to = LoopbackAddress(g_state.udpPort);
        ASSERT_EQ(length, sendto(stray_, static_cast<const char*>(data), length, 0, reinterpret_cast<const sockaddr*>(&to),
                                 sizeof to));
        Sleep(50);
    }

    static bool started_;
    static HWND parent_;
    static HWND log_;
    static SOCKET socket_;
    static SOCKET stray_;
};
bool UdpTransport::started_;
HWND UdpTransport::parent_;
HWND UdpTransport::log_;
SOCKET UdpTransport::socket_ = INVALID_SOCKET;
SOCKET UdpTransport::stray_ = INVALID_SOCKET;

TEST_F(UdpTransport, TheSecondOpenOfThePortFails) {
    WSASetLastError(0);
    EXPECT_EQ(INVALID_SOCKET, UdpOpen(0, g_state.udpPort));
    EXPECT_EQ(WSAEADDRINUSE, WSAGetLastError());  // the reason survives the socket's closing
    EXPECT_TRUE(LogLines(log_).empty());  // opening logs nothing, not even a failure
}

TEST_F(UdpTransport, AnEmptyQueueGivesNothingAtOnce) {
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize] = "stale";
    DWORD start = GetTickCount();
    EXPECT_EQ(0, UdpReceive(socket_, buffer, kReceiveCapacity, sender, sizeof sender));
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_STREQ("", sender);
}

TEST_F(UdpTransport, APacketSentToItselfArrivesWithItsZeroByte) {
    char packet[kPacketTextSize];
    int length = BuildPacket(packet, sizeof packet, 977, "RNG:2");
    ASSERT_EQ(19, length);
    EXPECT_EQ(1, UdpSend(socket_, kLoopback, g_state.udpPort, packet, length));

    char buffer[kReceiveCapacity + 1];
    memset(buffer, 'x', sizeof buffer);
    char sender[kSenderTextSize] = "stale";
    ASSERT_EQ(19, ReceiveWithin(2000, buffer, kReceiveCapacity, sender, sizeof sender));
    EXPECT_EQ(0, memcmp("Tellwire:977>RNG:2\0", buffer, 19));  // the zero byte came too
    EXPECT_EQ('x', buffer[19]);                                // and nothing behind it
    EXPECT_STREQ(kLoopback, sender);
    EXPECT_TRUE(LogLines(log_).empty());
}

TEST_F(UdpTransport, WithoutASenderBufferOnlyTheSizeComesBack) {
    EXPECT_EQ(1, UdpSend(socket_, kLoopback, g_state.udpPort, "abc", 4));
    char buffer[kReceiveCapacity];
    DWORD start = GetTickCount();
    int received = 0;
    while (received == 0 && GetTickCount() - start < 2000) {
        received = UdpReceive(socket_, buffer, kReceiveCapacity, nullptr, 0);
        Sleep(10);
    }
    EXPECT_EQ(4, received);
}

TEST_F(UdpTransport, ADatagramFromAnotherPortIsLoggedAndIgnored) {
    SendFromStrayPort("Tellwire:977>RNG:2", 19);
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize] = "stale";
    EXPECT_EQ(0, UdpReceive(socket_, buffer, kReceiveCapacity, sender, sizeof sender));
    EXPECT_STREQ("", sender);
    std::vector<std::string> lines = LogLines(log_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("Packet from 127.0.0.1:30308 ignored (19 bytes, \"  Tellwire:977>RNG:2\")", lines[0]);
}

TEST_F(UdpTransport, AnIgnoredDatagramIsShownOnlyAsFarAsItCame) {
    // No zero byte, and the buffer full of other text behind it: the log line must stop at 3.
    SendFromStrayPort("abc", 3);
    char buffer[kReceiveCapacity + 1];
    memset(buffer, 'Z', sizeof buffer);
    char sender[kSenderTextSize];
    EXPECT_EQ(0, UdpReceive(socket_, buffer, kReceiveCapacity, sender, sizeof sender));
    std::vector<std::string> lines = LogLines(log_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("Packet from 127.0.0.1:30308 ignored (3 bytes, \"                 abc\")", lines[0]);
}

TEST_F(UdpTransport, ReceivedFormatCharactersAreShownNotInterpreted) {
    SendFromStrayPort("%s%s%s%n%x", 11);
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize];
    EXPECT_EQ(0, UdpReceive(socket_, buffer, kReceiveCapacity, sender, sizeof sender));
    std::vector<std::string> lines = LogLines(log_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("Packet from 127.0.0.1:30308 ignored (11 bytes, \"          %s%s%s%n%x\")", lines[0]);
}

TEST_F(UdpTransport, DatagramsOfTheCapacityAndLongerStayInsideTheBuffer) {
    struct Case {
        int size;
        int expected;  // what UdpReceive gives with a capacity of 256
    } const cases[] = {{255, 255}, {256, 256}, {257, 0}, {400, 0}};
    for (const Case& c : cases) {
        std::string data(static_cast<size_t>(c.size), 'D');
        ASSERT_EQ(1, UdpSend(socket_, kLoopback, g_state.udpPort, data.data(), c.size));
        constexpr int kGuard = 64;
        char buffer[kReceiveCapacity + kGuard];
        memset(buffer, 'G', sizeof buffer);
        char sender[kSenderTextSize] = "stale";
        int received = ReceiveWithin(c.expected > 0 ? 2000 : 300, buffer, kReceiveCapacity, sender, sizeof sender);
        EXPECT_EQ(c.expected, received) << c.size;
        if (c.expected == 0) {
            EXPECT_STREQ("", sender) << c.size;
        }
        for (int i = kReceiveCapacity; i < kReceiveCapacity + kGuard; ++i) {
            ASSERT_EQ('G', buffer[i]) << c.size << " bytes wrote at " << i;
        }
        Drain();
    }
}

// A host typed by name may begin with a digit ("2ndfloor-pc") and so read as an address, which
// inet_addr cannot read: its INADDR_NONE is 255.255.255.255, and must not make the send a
// broadcast. Such a text is resolved as a name, and one that resolves to nothing sends nothing:
// no datagram (0) and no failed one (a send error would be logged). The text here is digits and
// dots, so the C library under Wine's resolver, which runs in this process and so outside the
// bench's namespace, turns it down itself without asking a name server.
TEST_F(UdpTransport, ATextInetAddrCannotReadIsResolvedNeverBroadcast) {
    EXPECT_EQ(0, UdpSend(socket_, "1.2.3.4.5", g_state.udpPort, "abc", 4));
    EXPECT_TRUE(LogLines(log_).empty());
}

TEST_F(UdpTransport, AFailedSendIsLoggedWithItsError) {
    std::string tooLong(70000, 'L');  // more than one UDP datagram can carry
    EXPECT_EQ(0, UdpSend(socket_, kLoopback, g_state.udpPort, tooLong.data(), static_cast<int>(tooLong.size())));
    std::vector<std::string> lines = LogLines(log_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("UDP send error: 10040 (70000 bytes)", lines[0]);
}

TEST_F(UdpTransport, AMissingSocketOrHostSendsNothing) {
    EXPECT_EQ(0, UdpSend(INVALID_SOCKET, kLoopback, g_state.udpPort, "x", 2));
    EXPECT_EQ(0, UdpSend(socket_, nullptr, g_state.udpPort, "x", 2));
    char sender[kSenderTextSize] = "stale";
    char buffer[8];
    EXPECT_EQ(0, UdpReceive(INVALID_SOCKET, buffer, sizeof buffer, sender, sizeof sender));
    EXPECT_STREQ("", sender);
}

// The agent's side of a received packet, with the test's socket standing in for the agent's.
// The agent has not started here, so this copy's stamp is 0.
TEST_F(UdpTransport, AnAnnouncementIsAnsweredInRoleOne) {
    ASSERT_EQ(0u, GetInstanceStamp());
    HandlePacket(socket_, "Tellwire:977>server", kLoopback);
    EXPECT_EQ(1u, g_state.otherBroadcasterSeen);
    EXPECT_EQ(kRoleListen, GetRole());
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize];
    ASSERT_EQ(18, ReceiveWithin(2000, buffer, kReceiveCapacity, sender, sizeof sender));
    EXPECT_EQ(0, memcmp("Tellwire:0>Client\0", buffer, 18));
    EXPECT_STREQ(kLoopback, sender);
}

TEST_F(UdpTransport, ABroadcasterHearingAnotherStepsDown) {
    g_state.role = kRoleBroadcast;
    HandlePacket(socket_, "Tellwire:977>SERVER:x", kLoopback);
    EXPECT_EQ(1u, g_state.otherBroadcasterSeen);
    EXPECT_EQ(kRoleListen, GetRole());
    char buffer[kReceiveCapacity + 1];
    char sender[kSenderTextSize];
    EXPECT_EQ(0, ReceiveWithin(300, buffer, kReceiveCapacity, sender, sizeof sender));  // no reply
    EXPECT_TRUE(LogLines(log_).empty());
}

TEST_F(UdpTransport, WrongPacketsAreLoggedAndOwnOnesDroppedSilently) {
    struct Case {
        const char* text;
        const char* line;  // nullptr: nothing logged
    } const cases[] = {
        {"Tellwire:>Client", nullptr},  // stamp 0 is this copy's own here
        {"Tellwire:0>Server", nullptr},
        {"Callwire:5>Server", "Wrong packet received from 10.1.2.3"},
        {"Tellwire5>Server", "Wrong packet received from 10.1.2.3"},
        {"Tellwire:5Server", "Wrong packet received from 10.1.2.3"},
        {"Tellwire:5>Serve", "Wrong packet format: \"Serve\""},
        {"Tellwire:5>CLRID:/SMITH", "Wrong packet format: \"CLRID:/SMITH\""},
        {"Tellwire:5>CLRID:555", "Wrong packet format: \"CLRID:555\""},
        {"Tellwire:5>%s%n", "Wrong packet format: \"%s%n\""},
    };
    for (const Case& c : cases) {
        SendMessageA(log_, LB_RESETCONTENT, 0, 0);
        HandlePacket(socket_, c.text, "10.1.2.3");
        std::vector<std::string> lines = LogLines(log_);
        if (c.line == nullptr) {
            EXPECT_TRUE(lines.empty()) << c.text;
        } else {
            ASSERT_EQ(1u, lines.size()) << c.text;
            EXPECT_EQ(c.line, lines[0]) << c.text;
        }
    }
    EXPECT_EQ(0u, g_state.otherBroadcasterSeen);  // the own announcement did not count
}

// Runs after the suite above has closed its socket, so the agent can take the port.
TEST(NetworkAgent, HoldsThePortWhileItRunsAndEndsOnTheStopFlag) {
    if (getenv("TW_BENCH") == nullptr) GTEST_SKIP() << "runs only in the bench's prefix (TW_BENCH unset)";
    SetProcessDefaults(&g_state);
    g_state.role = kRoleListen;  // never announces: nothing is sent
    WSADATA winsock;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &winsock));
    StartNetworkAgent();
    ASSERT_NE(nullptr, g_win.agentThread);
    EXPECT_NE(0u, g_win.agentThreadId);
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), g_win.agentThread, GetCurrentProcess(), &thread, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    Sleep(700);
    EXPECT_EQ(INVALID_SOCKET, UdpOpen(0, g_state.udpPort));  // the agent has it
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));

    g_state.stop = 1;
    DWORD start = GetTickCount();
    StopNetworkAgent();
    EXPECT_LT(GetTickCount() - start, 1500u);  // ended by itself within a pass, not terminated
    EXPECT_EQ(nullptr, g_win.agentThread);
    EXPECT_EQ(0u, g_win.agentThreadId);
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseHandle(thread);
    WSACleanup();
}

TEST(NetworkAgent, WithItsPortTakenItSaysSoAndRunsOn) {
    if (getenv("TW_BENCH") == nullptr) GTEST_SKIP() << "runs only in the bench's prefix (TW_BENCH unset)";
    SetProcessDefaults(&g_state);
    g_state.role = kRoleListen;
    WSADATA winsock;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &winsock));
    SOCKET holder = UdpOpen(0, g_state.udpPort);  // another program has the port
    ASSERT_NE(INVALID_SOCKET, holder);
    HWND parent = CreateWindowExA(0, "STATIC", "log parent", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND log = CreateProgramLogPage(parent);
    StartNetworkAgent();
    ASSERT_NE(nullptr, g_win.agentThread);
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), g_win.agentThread, GetCurrentProcess(), &thread, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    // The failure comes before the log exists at a real start; it is told with the first retry,
    // about 2 s later. The log line reaches the list through this thread.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3500;) {
        Pump();
        Sleep(10);
    }
    std::vector<std::string> lines = LogLines(log);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find("Could not open UDP port 30307: 10048")) << lines[0];
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));  // no network, but the agent runs on

    g_state.stop = 1;
    StopNetworkAgent();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    CloseHandle(thread);
    closesocket(holder);
    DestroyWindow(parent);
    WSACleanup();
}

}  // namespace
