#include "tools/sim_modem/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/sim_modem/script.h"

namespace sim_modem {

const char kHelpText[] =
    "Usage: sim_modem --link PATH [options]\n"
    "A caller-ID modem on a pseudo-terminal, for tests and demos of Tellwire.\n"
    "\n"
    "  --link PATH         symlink to the pty slave (created, replaced if it exists, removed at\n"
    "                      exit)\n"
    "  --com N             also make it COMn of the Wine prefix in $WINEPREFIX: runs\n"
    "                        wine reg add 'HKLM\\Software\\Wine\\Ports' /v COMn /t REG_SZ /d PATH /f\n"
    "                      (its stdin, stdout and stderr on /dev/null) and points the symlink\n"
    "                      $WINEPREFIX/dosdevices/comN at PATH (Wine rebuilds those links from\n"
    "                      the registry when its server starts; while a server runs the link must\n"
    "                      be set by hand). The prefix's wineserver must already be running,\n"
    "                      started by the caller in its network namespace, so that `wine reg`\n"
    "                      does not start one.\n"
    "  --echo on|off       echo of received command characters (default on); ATE0/ATE1 change\n"
    "                      it, ATZ restores the start value\n"
    "  --accept CMD        (repeatable) a caller-ID command the modem accepts with OK. Caller-ID\n"
    "                      commands are, by default, exactly: AT#CID=1, AT+VCID=1, AT#CC1,\n"
    "                      AT*ID1, AT%CCID=1 (compared case-insensitively, blanks removed); all\n"
    "                      of them are accepted until an --accept names the accepted ones. One\n"
    "                      not accepted is answered ERROR.\n"
    "  --refuse CMD        (repeatable) any other command answered ERROR\n"
    "  --dead              silent: no echo, no reply, no script output (a modem that is switched\n"
    "                      off)\n"
    "  --script FILE       lines played in order after start (see below)\n"
    "  --repeat SECONDS    play the script again that many seconds after it ended\n"
    "  --ring-gap SECONDS  the ring cycle of \"call\" (default 6)\n"
    "  --control PATH      a FIFO (created, removed at exit) that accepts script lines and\n"
    "                      control lines at run time, one per line, from any number of writers\n"
    "                      over time\n"
    "  --record FILE       append one line per event, each starting with the seconds since the\n"
    "                      tool started (monotonic clock, 6 decimals):\n"
    "                        T rx HEX    every chunk received (hex bytes, lower case)\n"
    "                        T tx HEX    every chunk sent\n"
    "                        T cmd TEXT  each complete command line received (text up to CR;\n"
    "                                    bytes that are not printable as \\r \\n \\t \\\\ \\xHH)\n"
    "                        T open      the other side opened the slave\n"
    "                        T close     the other side closed it\n"
    "                      Each line is written at once.\n"
    "  --wall-clock        record time stamps in seconds since 1970 (CLOCK_REALTIME, 6\n"
    "                      decimals) instead, to compare them with other programs' clocks\n"
    "  --help              this text\n"
    "\n"
    "On start, after the link exists, prints \"ready PATH\" on stdout (PATH made absolute).\n"
    "SIGTERM or SIGINT end it cleanly: link and FIFO removed.\n"
    "\n"
    "The modem echoes received bytes as they arrive (when echo is on and it is not dead). A\n"
    "command is the bytes up to CR (LF ignored); only the last 1024 bytes of a longer line\n"
    "count. AT commands (any case): ATZ restores the echo and answers OK, ATE0/ATE1 set it and\n"
    "answer OK, caller-ID commands as above, --refuse'd ones ERROR, any other OK. A line that\n"
    "is not an AT command gets ERROR, an empty one nothing. Replies are verbose: CR LF OK CR LF,\n"
    "CR LF ERROR CR LF. What the modem sends while nobody has the slave open is dropped, and\n"
    "what the other side left unread when it closed the slave is discarded: each opening\n"
    "starts empty, in raw mode.\n"
    "\n"
    "Script and control lines, one item per line (# comments and blank lines ignored):\n"
    "  sleep SECONDS          pause (fractions allowed)\n"
    "  line TEXT              send CR LF TEXT CR LF (how modems send RING and caller-ID lines)\n"
    "  raw TEXT               send TEXT exactly, with escapes \\r \\n \\t \\\\ \\xHH\n"
    "  call NUMBER [NAME...]  a realistic call: line RING; sleep 0.5; line DATE = MMDD;\n"
    "                         line TIME = HHMM (current local time); line NMBR = NUMBER;\n"
    "                         line NAME = NAME (omitted when no name); sleep GAP-2; line RING;\n"
    "                         sleep GAP; line RING   (GAP: --ring-gap)\n"
    "Control FIFO only:\n"
    "  echo on|off            echo now and after ATZ, like --echo\n"
    "  dead on|off            switch the modem off or on again\n"
    "  accept CMD             answer CMD with OK from now on\n"
    "  refuse CMD             answer CMD with ERROR from now on\n"
    "  quit                   end the tool\n"
    "Script lines on the control FIFO play on their own timeline, beside the --script file.\n";

namespace {

bool ParseNumber(const char* text, double* value) {
    char* end = nullptr;
    double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(parsed)) return false;
    *value = parsed;
    return true;
}

}  // namespace

OptionsParse ParseOptions(int argc, const char* const* argv) {
    OptionsParse result;
    Options& options = result.options;
    bool echo = true;
    bool anyAccept = false;
    struct Word {
        bool accept;
        std::string command;
    };
    std::vector<Word> words;

    for (int i = 0; i < argc && result.ok; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--dead") {
            options.dead = true;
            continue;
        }
        if (name == "--wall-clock") {
            options.wallClock = true;
            continue;
        }
        static const char* const kWithValue[] = {"--link", "--com", "--echo", "--accept",
                                                 "--refuse", "--script", "--repeat",
                                                 "--ring-gap", "--control", "--record"};
        bool known = false;
        for (const char* option : kWithValue) known = known || name == option;
        if (!known) {
            result.ok = false;
            result.error = "unknown option " + name;
            break;
        }
        if (i + 1 >= argc) {
            result.ok = false;
            result.error = name + " needs a value";
            break;
        }
        const char* value = argv[++i];
        double number = 0;
        if (name == "--link") {
            options.link = value;
        } else if (name == "--com") {
            if (!ParseNumber(value, &number) || number < 1 || number > 256 ||
                number != std::floor(number)) {
                result.ok = false;
                result.error = "--com needs a port number from 1 to 256";
            }
            options.com = static_cast<int>(number);
        } else if (name == "--echo") {
            if (std::strcmp(value, "on") != 0 && std::strcmp(value, "off") != 0) {
                result.ok = false;
                result.error = "--echo needs on or off";
            }
            echo = std::strcmp(value, "on") == 0;
        } else if (name == "--accept" || name == "--refuse") {
            anyAccept = anyAccept || name == "--accept";
            words.push_back({name == "--accept", value});
        } else if (name == "--script") {
            options.script = value;
        } else if (name == "--repeat") {
            if (!ParseNumber(value, &number) || number <= 0 || number > kMaxSleepSeconds) {
                result.ok = false;
                result.error = "--repeat needs seconds above 0";
            }
            options.repeatSeconds = number;
        } else if (name == "--ring-gap") {
            if (!ParseNumber(value, &number) || number < 0 || number > kMaxSleepSeconds) {
                result.ok = false;
                result.error = "--ring-gap needs seconds (0 or more)";
            }
            options.ringGap = number;
        } else if (name == "--control") {
            options.control = value;
        } else if (name == "--record") {
            options.record = value;
        }
    }
    if (!result.ok || options.help) return result;

    if (options.link.empty()) {
        result.ok = false;
        result.error = "--link PATH is required";
        return result;
    }
    if (options.repeatSeconds > 0 && options.script.empty()) {
        result.ok = false;
        result.error = "--repeat needs --script";
        return result;
    }
    options.modem = anyAccept ? ModemSettings() : DefaultModemSettings();
    options.modem.startEcho = echo;
    for (const Word& word : words) {
        if (word.accept) {
            AcceptCommand(&options.modem, word.command);
        } else {
            RefuseCommand(&options.modem, word.command);
        }
    }
    return result;
}

}  // namespace sim_modem
