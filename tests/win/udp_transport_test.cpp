// The UDP socket on the loopback interface of the bench's network namespace (it has only "lo", so
// nothing sent here leaves the machine). A plain socket on the next port plays a stray sender.
#include <windows.h>
#include <winsock.h>

#include <gtest/gtest.h>

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
#include "tests/win/win_test.h"

namespace {

constexpr char kLoopback[] = "127.0.0.1";

class UdpTransport : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDefaults(&g_state);
        WSADATA winsock;
        WSAStartup(MAKEWORD(1, 1), &winsock);
        HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        log_ = CreateProgramLogPage(window);
        socket_ = UdpOpen(0, g_state.udpPort);
        stray_ = UdpOpen(0, 30308);
    }
    static void TearDownTestSuite() {
        closesocket(socket_);
        closesocket(stray_);
    }
    void SetUp() override {
        // Everything here sends; only inside the bench's namespace is that known to stay local.
        ASSERT_NE(nullptr, getenv("TW_BENCH")) << "runs only in the bench's prefix";
        ASSERT_NE(INVALID_SOCKET, socket_) << "port " << g_state.udpPort << " is taken";
        SendMessageA(log_, LB_RESETCONTENT, 0, 0);
    }
    // Once a datagram waits at the socket (loopback delivers at once; the wait covers a slow machine).
    static void WaitForADatagram() {
        u_long waiting = 0;
        for (DWORD start = GetTickCount(); waiting == 0 && GetTickCount() - start < 5000; Sleep(5)) {
            ioctlsocket(socket_, FIONREAD, &waiting);
        }
        EXPECT_NE(0u, waiting) << "nothing arrived";
    }
    static HWND log_;
    static SOCKET socket_;
    static SOCKET stray_;
    char buffer_[kReceiveCapacity + 64];
    char sender_[kSenderTextSize] = "stale";
};
HWND UdpTransport::log_;
SOCKET UdpTransport::socket_;
SOCKET UdpTransport::stray_;

// Only the system's port speaks for another copy; a datagram from elsewhere is logged as far as
// it came (no zero byte, other text behind it in the buffer) and as text, never as a format.
TEST_F(UdpTransport, ADatagramFromAnotherPortIsLoggedAndIgnored) {
    memset(buffer_, 'Z', sizeof buffer_);
    EXPECT_EQ(1, UdpSend(stray_, kLoopback, g_state.udpPort, "%s%n", 4));
    WaitForADatagram();
    EXPECT_EQ(0, UdpReceive(socket_, buffer_, kReceiveCapacity, sender_, sizeof sender_));
    EXPECT_STREQ("", sender_);
    EXPECT_EQ(std::vector<std::string>{"Packet from 127.0.0.1:30308 ignored (4 bytes, \"                %s%n\")"},
              ListBoxLines(log_, false));
}

TEST_F(UdpTransport, DatagramsOfTheCapacityAndLongerStayInsideTheBuffer) {
    for (int size : {255, 256, 257, 400}) {
        memset(buffer_, 'G', sizeof buffer_);
        ASSERT_EQ(1, UdpSend(socket_, kLoopback, g_state.udpPort, std::string(size, 'D').data(), size));
        WaitForADatagram();
        int received = UdpReceive(socket_, buffer_, kReceiveCapacity, sender_, sizeof sender_);
        EXPECT_EQ(size <= kReceiveCapacity ? size : 0, received);
        EXPECT_EQ(std::string(64, 'G'), std::string(buffer_ + kReceiveCapacity, 64)) << size;
    }
}

// A host name inet_addr cannot read ("2ndfloor-pc") gave INADDR_NONE, a broadcast. It is resolved as a
// name; one that resolves to nothing sends nothing (Wine turns these down without a name server).
TEST_F(UdpTransport, ATextInetAddrCannotReadIsResolvedNeverBroadcast) {
    EXPECT_EQ(0, UdpSend(socket_, "1.2.3.4.5", g_state.udpPort, "abc", 4));
    EXPECT_TRUE(ListBoxLines(log_).empty());
}

// The stop reaches the agent in its wait: it ends by itself, and the program is not left waiting.
TEST(NetworkAgent, EndsOnTheStop) {
    SetProcessDefaults(&g_state);
    g_state.role = kRoleListen;  // never announces: nothing is sent
    StartNetworkAgent();
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), g_win.agentThread, GetCurrentProcess(), &thread, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    for (DWORD start = GetTickCount(); GetInstanceStamp() == 0 && GetTickCount() - start < 10000;) Sleep(10);
    g_state.stop = 1;
    StopNetworkAgent();
    EXPECT_EQ(nullptr, g_win.agentThread);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(0u, exitCode);  // ended by itself, not left running
    CloseHandle(thread);
}

}  // namespace
