// The simulated modem's command handling: bytes from the other side in, bytes to send back and
// the command lines seen out. No I/O and no clock, so tests can drive it byte by byte.
//
// It answers the way the usual Hayes-style modems do in verbose mode: every received byte is
// echoed while echo is on, a command ends at CR (LF is dropped wherever it comes, since
// terminal programs and some drivers send CR LF), and the answer is "\r\nOK\r\n" or
// "\r\nERROR\r\n". Caller-ID switches differ from one chip set to the next, and a program that
// watches an unknown modem tries them in turn until one gets OK; the modem answers only the
// ones it was told to accept with OK, so a test can make the first try, the third try or none
// succeed.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace sim_modem {

// Longer command lines keep only their last bytes: a real modem's buffer is smaller still, and
// the other side sending garbage without CR for minutes must not grow the tool without end.
inline constexpr size_t kMaxCommandLine = 1024;

inline constexpr char kOkReply[] = "\r\nOK\r\n";
inline constexpr char kErrorReply[] = "\r\nERROR\r\n";

// The caller-ID switches of the chip sets in the field, accepted when no --accept names others.
extern const char* const kCallerIdCommands[];
extern const size_t kCallerIdCommandCount;

struct ModemSettings {
    bool startEcho = true;              // echo at start and after ATZ
    std::vector<std::string> accepted;  // normalized (NormalizeCommand): answered OK
    std::vector<std::string> refused;   // normalized: answered ERROR, wins over everything else
};

struct Modem {
    ModemSettings settings;
    bool echo = true;
    bool dead = false;  // switched off: hears (for the record) but says nothing
    std::string line;   // the command line so far, without LF; only its last kMaxCommandLine count
};

struct ModemOutput {
    std::string send;                   // echo and replies, in the order a modem sends them
    std::vector<std::string> commands;  // each complete, non-empty command line, as received
};

// The settings of a modem that accepts every caller-ID switch in kCallerIdCommands.
ModemSettings DefaultModemSettings();

// Blanks (space, tab) removed and ASCII letters in upper case: "at #cid = 1" is AT#CID=1.
std::string NormalizeCommand(const std::string& command);

// The last word wins: accepting a command takes it off the refused list and refusing takes it
// off the accepted one, so the tool's switches and the control lines can change a modem's mind.
void AcceptCommand(ModemSettings* settings, const std::string& command);
void RefuseCommand(ModemSettings* settings, const std::string& command);

Modem StartModem(const ModemSettings& settings, bool dead);

// Switching a dead modem on is a power-up: echo back at its start value, half a line forgotten.
void SetDead(Modem* modem, bool dead);
// Changes the echo and the value ATZ restores, like --echo at start.
void SetStartEcho(Modem* modem, bool echo);

// Takes the bytes the other side sent (any values, any chunking) and appends what the modem
// answers to out->send and the command lines it completed to out->commands.
void ModemReceive(Modem* modem, const char* data, size_t size, ModemOutput* out);

// The reply to one command line (without its CR), applying what the command changes. Empty
// when the modem stays silent: an empty line, or a dead modem.
std::string AnswerCommand(Modem* modem, const std::string& line);

}  // namespace sim_modem
