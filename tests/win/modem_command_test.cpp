// AT command exchanges with the bench's simulated modems: COM1 answers (echo on, takes
// AT+VCID=1, refuses the other caller-ID commands), COM2 is switched off. The log lines are read
// from a real program log page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/process_state.h"
#include "base/text_utils.h"
#include "diag/program_log.h"
#include "modem/modem_command.h"
#include "tests/win/bench_record.h"
#include "tests/win/log_lines.h"

namespace {

PortSettings Settings(const char* name) {
    PortSettings settings{};
    CopyText(settings.name, sizeof settings.name, name);
    settings.baud_rate = 115200;
    settings.byte_size = 8;
    return settings;
}

class ModemCommand : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDefaults(&g_state);
        parent_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        log_ = CreateProgramLogPage(parent_);
    }
    void SetUp() override {
        SendMessageA(log_, LB_RESETCONTENT, 0, 0);
        modem_ = OpenSerialPort(Settings("COM1"));
        if (modem_ == nullptr && getenv("TW_BENCH") != nullptr) FAIL() << "COM1 did not open on the bench";
        if (modem_ == nullptr) GTEST_SKIP() << "no simulated modem on COM1 (run from the bench)";
    }
    void TearDown() override { CloseSerialPort(modem_); }
    static std::string LastLog() {
        std::vector<std::string> lines = ListBoxLines(log_, false);
        return lines.empty() ? "" : lines.back();
    }
    static HWND parent_;
    static HWND log_;
    SerialPort* modem_ = nullptr;
    char reply_[kModemReplySize];
};
HWND ModemCommand::parent_;
HWND ModemCommand::log_;

TEST_F(ModemCommand, EchoedCommandWithoutExpectedText) {
    EXPECT_EQ(4u, SendModemCommand(modem_, "ATZ", nullptr, reply_));
    EXPECT_STREQ("OK\r\n", reply_);
    EXPECT_EQ("COM1: \"ATZ\" ==> \"OK\"", LastLog());
    EXPECT_NE(std::string::npos, RecordedCommands().find(" cmd ATZ"));
}

TEST_F(ModemCommand, EchoOffEndsAtTheExpectedText) {
    ASSERT_NE(0u, SendModemCommand(modem_, "ATE0", "OK", reply_));
    DWORD start = GetTickCount();
    EXPECT_EQ(6u, SendModemCommand(modem_, "AT", "OK", reply_));
    EXPECT_LT(GetTickCount() - start, 1500u);  // the first pass decided
    EXPECT_STREQ("\r\nOK\r\n", reply_);          // the whole reply, line ends included
    EXPECT_EQ("COM1: \"AT\" ==> \"OK\"", LastLog());
    SendModemCommand(modem_, "ATZ", "OK", reply_);  // echo back on for the next test
}

TEST_F(ModemCommand, CallerIdCommands) {
    DWORD start = GetTickCount();
    EXPECT_NE(0u, SendModemCommand(modem_, "AT#CID=1", "OK", reply_));
    EXPECT_LT(GetTickCount() - start, 1500u);  // ERROR ends the exchange at once
    EXPECT_NE(nullptr, strstr(reply_, "ERROR"));
    EXPECT_EQ("COM1: \"AT#CID=1\" ==> \"ERROR\"", LastLog());
    EXPECT_NE(0u, SendModemCommand(modem_, "at + vcid = 1", "OK", reply_));
    EXPECT_NE(nullptr, strstr(reply_, "OK"));
    EXPECT_EQ("COM1: \"at+vcid=1\" ==> \"OK\"", LastLog());  // logged as sent: blanks gone, case kept
    EXPECT_NE(std::string::npos, RecordedCommands().find(" cmd at+vcid=1"));
}

TEST_F(ModemCommand, EmptyCommandIsNotSent) {
    EXPECT_EQ(0u, SendModemCommand(modem_, "<0>", "OK", reply_));
    EXPECT_STREQ("", reply_);
    EXPECT_EQ("COM1: zer-sized commands not allowed", LastLog());
    EXPECT_EQ(0u, SendModemCommand(nullptr, "ATZ", "OK", reply_));
}

TEST_F(ModemCommand, NoModemAnswers) {
    SerialPort* silent = OpenSerialPort(Settings("COM2"));
    ASSERT_NE(nullptr, silent);
    strcpy(reply_, "stale");
    DWORD start = GetTickCount();
    EXPECT_EQ(0u, SendModemCommand(silent, "ATZ", "OK", reply_));
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 9500u);  // five passes of two seconds
    EXPECT_LT(waited, 13000u);
    EXPECT_STREQ("", reply_);
    EXPECT_EQ("COM2: no reply on command \"ATZ\"", LastLog());
    CloseSerialPort(silent);
}

}  // namespace
