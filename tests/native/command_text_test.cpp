#include "modem/command_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Normalised(const char* command) {
    char out[kCommandBufferSize];
    size_t length = NormaliseCommand(command, out, sizeof out);
    EXPECT_EQ(length, strnlen(out, sizeof out)) << command;
    return std::string(out, length);
}

TEST(NormaliseCommand, Examples) {
    struct Case {
        const char* command;
        std::string sent;
    } const cases[] = {
        {"ATZ", "ATZ\r"},
        {"at z", "atz\r"},                      // blanks dropped, case kept
        {" AT\t+VCID = 1 ", "AT+VCID=1\r"},
        {"AT<H2B><H2B><H2B>", "AT+++\r"},
        {"<13>", "\r\r"},
        {"<H1B>", "\x1B\r"},
        {"<h1b>", "\x1B\r"},
        {"<B1010>", "\n\r"},
        {"<HB101>", "\x05\r"},                   // H then B: binary as well
        {"<H 4 1>", "A\r"},                      // blanks inside an escape are skipped
        {"a<b", "a<b\r"},                        // no closing ">": the "<" stays
        {"<", "<\r"},
        {"AT<12x>", "AT<12x>\r"},                 // a character that is no digit ends the number early
        {"<300>", ",\r"},                        // modulo 256
        {"<H10>", "\x10\r"},
        {"", "\r"},
        {"<0>", ""},                             // an escape of 0 ends the command: nothing to send
        {"AT<0>Z", "AT"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.sent, Normalised(c.command)) << c.command;
}

TEST(NormaliseCommand, NeverOverflows) {
    std::string huge(1000, 'A');
    char out[16];
    EXPECT_EQ(15u, NormaliseCommand(huge.c_str(), out, sizeof out));
    EXPECT_EQ('\r', out[14]);
    EXPECT_EQ(0u, NormaliseCommand("AT", out, 1));
}

TEST(NormaliseCommand, Dle) {
    char out[kCommandBufferSize];
    NormaliseCommand("AT<H10>X", out, sizeof out);
    EXPECT_TRUE(IsDleCommand(out, sizeof out));
    NormaliseCommand("ATZ", out, sizeof out);
    EXPECT_FALSE(IsDleCommand(out, sizeof out));
}

TEST(ReplyAfterEcho, EchoOnAndOff) {
    struct Case {
        const char* command;
        const char* reply;
        const char* after;  // nullptr: none
    } const cases[] = {
        {"ATZ", "ATZ\r\r\nOK\r\n", "OK\r\n"},
        {"ATZ", "\r\nATZ\rOK", "OK"},
        {"ATZ", "\r\nOK\r\n", nullptr},      // echo off
        {"ATZ", "ATZ\r\n", nullptr},         // only the echo so far
        {"ATZ", "atz\r\nOK\r\n", nullptr},   // the echo must match exactly
        {"AT+VCID=1", "AT+VCID=1\r\r\nERROR\r\n", "ERROR\r\n"},
        {"AT", "ATZ", "Z"},
    };
    for (const Case& c : cases) {
        const char* after = ReplyAfterEcho(c.command, c.reply);
        if (c.after == nullptr) {
            EXPECT_EQ(nullptr, after) << c.reply;
        } else {
            ASSERT_NE(nullptr, after) << c.reply;
            EXPECT_STREQ(c.after, after);
        }
    }
}

TEST(JudgeReply, LaterStartDecides) {
    struct Case {
        const char* reply;
        const char* expected;
        ReplyVerdict verdict;
    } const cases[] = {
        {"\r\nOK\r\n", "OK", ReplyVerdict::Expected},
        {"\r\nok\r\n", "OK", ReplyVerdict::Expected},
        {"AT#CID=1\r\r\nERROR\r\n", "OK", ReplyVerdict::Error},
        {"\r\nOK\r\n\r\nERROR\r\n", "OK", ReplyVerdict::Error},   // OK, then ERROR: ERROR decides
        {"\r\nERROR\r\n\r\nOK\r\n", "OK", ReplyVerdict::Expected},
        {"ERROR", "ERR", ReplyVerdict::Expected},                 // both at one place: the expected text
        {"\r\nCONNECT", "OK", ReplyVerdict::Undecided},
        {"O", "OK", ReplyVerdict::Undecided},                     // shorter than the expected text
        {"", "OK", ReplyVerdict::Undecided},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.verdict, JudgeReply(c.reply, std::string(c.reply).size(), c.expected)) << c.reply;
    }
}

TEST(DropOldestReply, KeepsTheNewerHalf) {
    char reply[kReplyBufferSize];
    for (size_t i = 0; i < sizeof reply; ++i) reply[i] = static_cast<char>('a' + i / 1024);
    EXPECT_EQ(3072u, DropOldestReply(reply, 3072));  // not yet
    EXPECT_EQ('a', reply[0]);
    EXPECT_EQ(1025u, DropOldestReply(reply, 3073));
    EXPECT_EQ('c', reply[0]);
    EXPECT_EQ('c', reply[1023]);
    EXPECT_EQ('d', reply[1024]);
    EXPECT_EQ('\0', reply[1025]);
}

TEST(WaitForLineRules, IntervalAndLineEnd) {
    EXPECT_EQ(15u, LinePollInterval(1000));
    EXPECT_EQ(31u, LinePollInterval(2000));
    EXPECT_EQ(2u, LinePollInterval(100));
    EXPECT_EQ(2u, LinePollInterval(0));
    struct Case {
        std::string text;
        bool complete;
    } const cases[] = {
        {"", true}, {"  \t", true}, {"0", true}, {"0 ", true},  // numeric result code: nothing to wait for
        {"OK\r\n", true}, {"OK\r", true}, {"OK \n ", true},
        {"OK", false}, {"OK  \t", false}, {"\r\nOK", false}, {"RING\r\nNMBR", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.complete, LineComplete(c.text.c_str(), c.text.size())) << c.text;
}

}  // namespace
