#include "tools/sim_modem/script.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/sim_modem/escapes.h"

namespace sim_modem {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Reads "on" or "off".
bool ParseSwitch(const std::string& word, bool* on) {
    if (word == "on" || word == "off") {
        *on = word == "on";
        return true;
    }
    return false;
}

bool ParseSeconds(const std::string& text, double* seconds) {
    if (text.empty()) return false;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return false;
    if (value < 0 || value > kMaxSleepSeconds) return false;
    *seconds = value;
    return true;
}

ScriptItem LineItem(const std::string& text) {
    ScriptItem item;
    item.kind = ItemKind::Line;
    item.text = text;
    return item;
}

ScriptItem SleepItem(double seconds) {
    ScriptItem item;
    item.kind = ItemKind::Sleep;
    item.seconds = seconds;
    return item;
}

// A caller-ID message as the line sends it, in the hex digits of a modem's MESG line: the single
// format (SDMF) holds the date and time and the number; the multiple format (MDMF) the same as
// parameters, with the name when there is one. "P" and "O" go as the reason for no number.
std::string CallerIdMessage(bool multiple, const std::string& number, const std::string& name) {
    const std::string when = "01011200";
    std::string data;
    if (!multiple) {
        data = when + number;
    } else {
        auto parameter = [&data](int type, const std::string& value) {
            data += static_cast<char>(type);
            data += static_cast<char>(value.size());
            data += value;
        };
        parameter(0x01, when);
        parameter(number == "P" || number == "O" ? 0x04 : 0x02, number);
        if (!name.empty()) parameter(0x07, name);
    }
    std::string bytes(1, static_cast<char>(multiple ? 0x80 : 0x04));
    bytes += static_cast<char>(data.size());
    bytes += data;
    unsigned sum = 0;
    for (char c : bytes) sum += static_cast<unsigned char>(c);
    bytes += static_cast<char>((0x100 - sum % 0x100) % 0x100);
    std::string hex;
    for (char c : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        hex += digits;
    }
    return "MESG = " + hex;
}

}  // namespace

LineParse ParseScriptLine(const std::string& rawLine, ScriptSource source, ScriptItem* item,
                          std::string* error) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = 0;
    while (start < line.size() && IsSpace(line[start])) ++start;
    if (start == line.size() || line[start] == '#') return LineParse::Nothing;

    size_t keywordEnd = start;
    while (keywordEnd < line.size() && !IsSpace(line[keywordEnd])) ++keywordEnd;
    std::string keyword = line.substr(start, keywordEnd - start);
    size_t argument = keywordEnd;
    while (argument < line.size() && IsSpace(line[argument])) ++argument;
    std::string rest = line.substr(argument);  // as written: "line" and "raw" keep trailing blanks
    std::string word = Trimmed(rest);

    ScriptItem parsed;
    if (keyword == "sleep") {
        parsed.kind = ItemKind::Sleep;
        if (!ParseSeconds(word, &parsed.seconds)) {
            *error = "sleep needs seconds from 0 to 86400, not \"" + word + "\"";
            return LineParse::Error;
        }
    } else if (keyword == "line") {
        parsed.kind = ItemKind::Line;
        parsed.text = rest;
    } else if (keyword == "raw") {
        parsed.kind = ItemKind::Raw;
        if (!DecodeEscapes(rest, &parsed.text, error)) return LineParse::Error;
    } else if (keyword == "mdmf" || keyword == "sdmf") {
        size_t numberEnd = 0;
        while (numberEnd < word.size() && !IsSpace(word[numberEnd])) ++numberEnd;
        std::string number = word.substr(0, numberEnd);
        std::string name = Trimmed(word.substr(numberEnd));
        if (number.empty() || number.size() + name.size() > 200 || (keyword == "sdmf" && !name.empty())) {
            *error = keyword + " needs a number" + (keyword == "mdmf" ? " and may have a name" : ", and no name");
            return LineParse::Error;
        }
        parsed.kind = ItemKind::Line;
        parsed.text = CallerIdMessage(keyword == "mdmf", number, name);
    } else if (keyword == "call") {
        parsed.kind = ItemKind::Call;
        size_t numberEnd = 0;
        while (numberEnd < word.size() && !IsSpace(word[numberEnd])) ++numberEnd;
        parsed.text = word.substr(0, numberEnd);
        parsed.name = Trimmed(word.substr(numberEnd));
        if (parsed.text.empty()) {
            *error = "call needs a number";
            return LineParse::Error;
        }
    } else if (keyword == "echo" || keyword == "dead" || keyword == "accept" ||
               keyword == "refuse" || keyword == "quit") {
        if (source != ScriptSource::Control) {
            *error = "\"" + keyword + "\" is taken on the control FIFO only";
            return LineParse::Error;
        }
        if (keyword == "echo" || keyword == "dead") {
            parsed.kind = keyword == "echo" ? ItemKind::Echo : ItemKind::Dead;
            if (!ParseSwitch(word, &parsed.on)) {
                *error = keyword + " needs on or off, not \"" + word + "\"";
                return LineParse::Error;
            }
        } else if (keyword == "quit") {
            parsed.kind = ItemKind::Quit;
            if (!word.empty()) {
                *error = "quit takes nothing after it";
                return LineParse::Error;
            }
        } else {
            parsed.kind = keyword == "accept" ? ItemKind::Accept : ItemKind::Refuse;
            parsed.text = word;
            if (word.empty()) {
                *error = keyword + " needs a command";
                return LineParse::Error;
            }
        }
    } else {
        *error = "unknown item \"" + keyword + "\"";
        return LineParse::Error;
    }
    *item = parsed;
    return LineParse::Item;
}

ScriptParse ParseScript(const std::string& text, ScriptSource source) {
    ScriptParse result;
    size_t lineNumber = 0;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        ScriptItem item;
        std::string error;
        switch (ParseScriptLine(text.substr(begin, end - begin), source, &item, &error)) {
            case LineParse::Item: result.items.push_back(item); break;
            case LineParse::Nothing: break;
            case LineParse::Error:
                if (result.ok) {
                    result.ok = false;
                    result.errorLine = lineNumber;
                    result.error = error;
                }
                break;
        }
        begin = end + 1;
    }
    return result;
}

std::vector<ScriptItem> ExpandCall(const ScriptItem& call, const CallTime& when, double ringGap) {
    char date[32];
    char time[32];
    std::snprintf(date, sizeof date, "DATE = %02d%02d", when.month, when.day);
    std::snprintf(time, sizeof time, "TIME = %02d%02d", when.hour, when.minute);
    std::vector<ScriptItem> items;
    items.push_back(LineItem("RING"));
    items.push_back(SleepItem(0.5));
    items.push_back(LineItem(date));
    items.push_back(LineItem(time));
    items.push_back(LineItem("NMBR = " + call.text));
    if (!call.name.empty()) items.push_back(LineItem("NAME = " + call.name));
    items.push_back(SleepItem(ringGap > 2 ? ringGap - 2 : 0));
    items.push_back(LineItem("RING"));
    items.push_back(SleepItem(ringGap > 0 ? ringGap : 0));
    items.push_back(LineItem("RING"));
    return items;
}

}  // namespace sim_modem
