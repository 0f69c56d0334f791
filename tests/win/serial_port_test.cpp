// The serial port on a real line: COM3 and COM4 of the bench are the two ends of one
// pseudo-terminal pair, so what one end writes the other reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "base/text_utils.h"
#include "modem/serial_port.h"
#include "modem/thread_messages.h"

namespace {

PortSettings Settings(const char* name) {
    PortSettings settings{};
    CopyText(settings.name, sizeof settings.name, name);
    settings.baud_rate = 115200;
    settings.byte_size = 8;
    settings.parity = 0;
    settings.stop_bits = 0;
    return settings;
}

class SerialLine : public testing::Test {
protected:
    void SetUp() override {
        near_ = OpenSerialPort(Settings("COM3"));
        far_ = OpenSerialPort(Settings("COM4"));
        bool opened = near_ != nullptr && far_ != nullptr;
        if (!opened && getenv("TW_BENCH") != nullptr) FAIL() << "COM3/COM4 did not open on the bench";
        if (!opened) GTEST_SKIP() << "COM3/COM4 are not a line here (run from the bench)";
    }
    void TearDown() override {
        CloseSerialPort(near_);
        CloseSerialPort(far_);
    }
    // Reads what arrives at port within ms.
    static std::string Drain(SerialPort* port, DWORD ms, size_t want = 0) {
        std::string got;
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms && (want == 0 || got.size() < want)) {
            char buffer[1024];
            int32_t n = ReadSerial(port, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, n); else Sleep(5);
        }
        return got;
    }
    void Send(const std::string& text) { ASSERT_EQ(text.size(), WriteSerial(far_, text.data(), text.size())); }
    SerialPort* near_ = nullptr;
    SerialPort* far_ = nullptr;
};

TEST_F(SerialLine, ReadsOnlyWhatIsQueuedAndNeverWaits) {
    char buffer[100];
    DWORD start = GetTickCount();
    EXPECT_EQ(0, ReadSerial(near_, buffer, sizeof buffer));
    EXPECT_LT(GetTickCount() - start, 100u);
    Send("0123456789");
    Sleep(100);
    EXPECT_EQ(10, ReadSerial(near_, buffer, sizeof buffer));
    EXPECT_EQ("0123456789", std::string(buffer, 10));
    EXPECT_EQ(0, ReadSerial(near_, buffer, sizeof buffer));
}

TEST_F(SerialLine, LargeWriteArrivesWhole) {
    std::string data(9000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('A' + i % 26);
    EXPECT_EQ(9000u, WriteSerial(near_, data.data(), static_cast<uint32_t>(data.size())));
    EXPECT_EQ(data, Drain(far_, 5000, data.size()));
    EXPECT_EQ(0u, WriteSerial(near_, data.data(), 0));
    EXPECT_EQ(0u, WriteSerial(nullptr, data.data(), 5));
}

TEST_F(SerialLine, WaitForLine) {
    char buffer[512];
    // A complete line is handed back at once.
    Send("\r\nOK\r\n");
    DWORD start = GetTickCount();
    EXPECT_EQ(6u, WaitForLine(near_, 2000, 0, buffer, sizeof buffer));
    EXPECT_STREQ("\r\nOK\r\n", buffer);
    EXPECT_LT(GetTickCount() - start, 300u);

    // Without its line end the text gets about half a second more.
    Send("OK");
    start = GetTickCount();
    EXPECT_EQ(2u, WaitForLine(near_, 2000, 0, buffer, sizeof buffer));
    DWORD waited = GetTickCount() - start;
    EXPECT_STREQ("OK", buffer);
    EXPECT_GE(waited, 400u);
    EXPECT_LT(waited, 1500u);

    // A numeric result code is not waited on.
    Send("0");
    start = GetTickCount();
    EXPECT_EQ(1u, WaitForLine(near_, 2000, 0, buffer, sizeof buffer));
    EXPECT_LT(GetTickCount() - start, 300u);

    // Nothing at all: the time-out, an empty text; with text held, that text.
    start = GetTickCount();
    EXPECT_EQ(0u, WaitForLine(near_, 1000, 0, buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_GE(GetTickCount() - start, 900u);
    CopyText(buffer, sizeof buffer, "OK\r\n");
    EXPECT_EQ(4u, WaitForLine(near_, 200, 4, buffer, sizeof buffer));
}

TEST_F(SerialLine, WaitForLineStaysInsideItsBuffer) {
    std::string flood(700, 'x');  // no line end, more than the buffer holds
    Send(flood);
    char buffer[64];
    buffer[62] = 'Z';
    Sleep(100);
    DWORD start = GetTickCount();
    EXPECT_EQ(61u, WaitForLine(near_, 1000, 0, buffer, 63));  // capacity - 2 bytes at the most
    EXPECT_LT(GetTickCount() - start, 300u);  // a full buffer waits for no line end
    EXPECT_EQ('\0', buffer[61]);
    EXPECT_EQ('Z', buffer[62]);
    Drain(near_, 200);
}

TEST(SerialPortOpen, AbsentOrTakenPorts) {
    EXPECT_EQ(nullptr, OpenSerialPort(Settings("COM9")));
    SerialPort* first = OpenSerialPort(Settings("COM3"));
    if (first == nullptr && getenv("TW_BENCH") != nullptr) FAIL() << "COM3 did not open on the bench";
    if (first == nullptr) GTEST_SKIP() << "COM3 is not a line here (run from the bench)";
    CloseSerialPort(first);
    CloseSerialPort(nullptr);
}

DWORD WINAPI StopTwice(void* result) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread has a queue now
    int* answers = static_cast<int*>(result);
    answers[0] = PumpThreadMessages();
    PostThreadMessageA(GetCurrentThreadId(), TMSG_STOP_THREAD, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 5, 0, 0);
    answers[1] = PumpThreadMessages();
    answers[3] = PeekMessageA(&message, nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE);  // left behind the stop
    answers[2] = PumpThreadMessages();  // still stopped
    return 0;
}

DWORD WINAPI FreshThread(void* result) {
    *static_cast<int*>(result) = PumpThreadMessages();
    return 0;
}

TEST(PumpThreadMessages, StopLastsForThatThreadOnly) {
    int answers[4] = {-1, -1, -1, -1};
    HANDLE thread = CreateThread(nullptr, 0, StopTwice, answers, 0, nullptr);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_EQ(1, answers[0]);
    EXPECT_EQ(0, answers[1]);
    EXPECT_EQ(0, answers[2]);
    EXPECT_NE(0, answers[3]);
    for (int i = 0; i < 20; ++i) {  // new threads, some of which may reuse the stopped one's identifier
        int fresh = -1;
        thread = CreateThread(nullptr, 0, FreshThread, &fresh, 0, nullptr);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        EXPECT_EQ(1, fresh);
    }
}

}  // namespace
