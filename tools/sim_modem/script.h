// The simulated modem's script language, one item per line; "#" starts a comment line and blank
// lines are skipped:
//   sleep SECONDS          pause (fractions allowed)
//   line TEXT              send "\r\n" TEXT "\r\n", the frame modems put around RING and the
//                          caller-ID lines
//   raw TEXT               send TEXT exactly, with the escapes of escapes.h
//   call NUMBER [NAME...]  a whole call, see ExpandCall
//   mdmf NUMBER [NAME...]  one line "MESG = " and the hex digits of the line's caller-ID message,
//   sdmf NUMBER            multiple or single format, checksum made ("P" or "O": no number)
// and, only on the control FIFO (they change the modem, not what it plays):
//   echo on|off, dead on|off, accept CMD, refuse CMD, quit
// Keywords are lower case. The text of "line" and "raw" is everything after the blanks behind
// the keyword, so "line  NAME = O'Hara # 2" sends "NAME = O'Hara # 2".
#pragma once
#include <string>
#include <vector>

namespace sim_modem {

enum class ItemKind { Sleep, Line, Raw, Call, Echo, Dead, Accept, Refuse, Quit };

struct ScriptItem {
    ItemKind kind = ItemKind::Sleep;
    double seconds = 0;  // Sleep
    std::string text;    // Line: the text; Raw: the decoded bytes; Call: the number;
                         // Accept, Refuse: the command
    std::string name;    // Call: the caller's name, empty when none
    bool on = false;     // Echo, Dead
};

enum class ScriptSource { File, Control };

enum class LineParse { Item, Nothing, Error };

// One line (without its LF; a CR at its end, from a file saved with CR LF, is ignored).
LineParse ParseScriptLine(const std::string& line, ScriptSource source, ScriptItem* item,
                          std::string* error);

struct ScriptParse {
    std::vector<ScriptItem> items;
    bool ok = true;
    size_t errorLine = 0;  // 1-based line of the first error
    std::string error;
};

// A whole script; parsing goes on after an error, but only the first is reported and the items
// of a script with an error must not be played.
ScriptParse ParseScript(const std::string& text, ScriptSource source);

struct CallTime {
    int month;  // 1-12
    int day;    // 1-31
    int hour;   // 0-23
    int minute;
};

// The longest pause a script may ask for: a typing mistake ("sleep 6000000") must not stall a test
// run for days.
inline constexpr double kMaxSleepSeconds = 86400;

// A call as a modem reports it: the first ring, the caller-ID block half a second later in the
// order most modems use (DATE, TIME, NMBR, NAME when there is one), then two more rings. A ring
// cycle lasts ringGap seconds and the block takes about two of them, hence the shorter first
// pause (never below 0).
std::vector<ScriptItem> ExpandCall(const ScriptItem& call, const CallTime& when, double ringGap);

}  // namespace sim_modem
