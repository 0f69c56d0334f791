#include "tools/sim_modem/modem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sim_modem;

using Lines = std::vector<std::string>;

const std::string kOk = kOkReply;
const std::string kError = kErrorReply;

struct ModemCase {
    const char* what;
    bool echo;
    bool dead;
    Lines accept;  // empty: the default caller-ID commands
    Lines refuse;
    std::string input;
    std::string sent;
    Lines commands;
};

ModemSettings Settings(const ModemCase& c) {
    ModemSettings settings = c.accept.empty() ? DefaultModemSettings() : ModemSettings();
    settings.startEcho = c.echo;
    for (const std::string& command : c.accept) AcceptCommand(&settings, command);
    for (const std::string& command : c.refuse) RefuseCommand(&settings, command);
    return settings;
}

ModemOutput Feed(const ModemCase& c, const std::vector<size_t>& cuts) {
    Modem modem = StartModem(Settings(c), c.dead);
    ModemOutput out;
    size_t begin = 0;
    for (size_t cut : cuts) {
        ModemReceive(&modem, c.input.data() + begin, cut - begin, &out);
        begin = cut;
    }
    ModemReceive(&modem, c.input.data() + begin, c.input.size() - begin, &out);
    return out;
}

std::string Chars(size_t count, char c) { return std::string(count, c); }

const ModemCase kCases[] = {
    {"ATE0 stops the echo after its own CR", true, false, {}, {}, "ATE0\rATI\r",
     "ATE0\r" + kOk + kOk, {"ATE0", "ATI"}},
    {"ATZ restores echo on", true, false, {}, {}, "ATE0\rATZ\rAT\r",
     "ATE0\r" + kOk + kOk + "AT\r" + kOk, {"ATE0", "ATZ", "AT"}},
    {"default caller-ID commands", false, false, {}, {},
     "AT#CID=1\rAT+VCID=1\rAT#CC1\rAT*ID1\rAT%CCID=1\r", kOk + kOk + kOk + kOk + kOk,
     {"AT#CID=1", "AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"}},
    {"caller-ID command written loosely", false, false, {}, {}, " at #\tcid = 1\r", kOk,
     {" at #\tcid = 1"}},
    {"one accepted, the others refused", false, false, {"at+vcid=1"}, {},
     "AT#CID=1\rAT+VCID=1\rAT#CC1\rAT*ID1\rAT%CCID=1\r", kError + kOk + kError + kError + kError,
     {"AT#CID=1", "AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"}},
    {"a refused default caller-ID command", false, false, {}, {"AT#CID=1"},
     "AT#CID=1\rAT+VCID=1\r", kError + kOk, {"AT#CID=1", "AT+VCID=1"}},
    {"a refused ordinary command", false, false, {}, {"ATS0=0"}, "ats0 = 0\rATS7=60\r",
     kError + kOk, {"ats0 = 0", "ATS7=60"}},
    {"a refused ATZ changes nothing", false, false, {}, {"ATZ"}, "ATE1\rATZ\r",
     kOk + "ATZ\r" + kError, {"ATE1", "ATZ"}},
    {"any other AT command", false, false, {}, {}, "AT\rATI3\rAT&F\r", kOk + kOk + kOk,
     {"AT", "ATI3", "AT&F"}},
    {"not an AT command", true, false, {}, {}, "hello\rA\r", "hello\r" + kError + "A\r" + kError,
     {"hello", "A"}},
    {"empty lines are not commands", true, false, {}, {}, "\r\r\n", "\r\r\n", {}},
    {"LF is echoed and ignored anywhere", true, false, {}, {}, "\nA\nT\r\n",
     "\nA\nT\r" + kOk + "\n", {"AT"}},
    {"NUL and 8-bit bytes", true, false, {}, {}, std::string("\0\xff\r", 3),
     std::string("\0\xff\r", 3) + kError, {std::string("\0\xff", 2)}},
    {"garbage then AT within the last 1024 bytes", false, false, {}, {},
     Chars(5000, 'x') + "AT" + Chars(1022, 'I') + "\r", kOk, {"AT" + Chars(1022, 'I')}},
    {"a line after a long one starts afresh", false, false, {}, {}, Chars(3000, 'x') + "\rATZ\r",
     kError + kOk, {Chars(1024, 'x'), "ATZ"}},
    {"dead: no echo, no reply, commands still seen", true, true, {}, {}, "ATZ\rhello\r", "",
     {"ATZ", "hello"}},
};

// The pieces may arrive in any chunking: whole, byte by byte, and cut at every single place.
TEST(SimModem, AnswersTheSameInAnyChunking) {
    for (const ModemCase& c : kCases) {
        std::vector<std::vector<size_t>> chunkings = {{}, {}};
        for (size_t i = 1; i < c.input.size(); ++i) chunkings[1].push_back(i);
        for (size_t cut = 0; c.input.size() <= 100 && cut <= c.input.size(); ++cut) {
            chunkings.push_back({cut});
        }
        for (const std::vector<size_t>& cuts : chunkings) {
            SCOPED_TRACE(testing::Message() << c.what << ", " << cuts.size() << " cuts from "
                                            << (cuts.empty() ? 0 : cuts[0]));
            ModemOutput out = Feed(c, cuts);
            EXPECT_EQ(c.sent, out.send);
            EXPECT_EQ(c.commands, out.commands);
        }
    }
}

TEST(SimModem, ControlChangesEchoAndPower) {
    Modem modem = StartModem(DefaultModemSettings(), false);
    SetStartEcho(&modem, false);
    ModemOutput out;
    ModemReceive(&modem, "ATE1\rATZ\rAT\r", 12, &out);
    EXPECT_EQ(kOk + "ATZ\r" + kOk + kOk, out.send);  // ATZ now restores "off"

    // Half a line heard while switched off is forgotten at power-up, and the echo is back.
    SetDead(&modem, true);
    out = ModemOutput();
    ModemReceive(&modem, "ATE1\rgarb", 9, &out);
    EXPECT_EQ("", out.send);
    EXPECT_FALSE(modem.echo);
    SetDead(&modem, false);
    ModemReceive(&modem, "ATE1\r", 5, &out);
    EXPECT_EQ(kOk, out.send);
    EXPECT_EQ((Lines{"ATE1", "ATE1"}), out.commands);
}

}  // namespace
