#include "tools/sim_modem/modem.h"

#include <algorithm>

namespace sim_modem {

const char* const kCallerIdCommands[] = {"AT#CID=1", "AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"};
const size_t kCallerIdCommandCount = sizeof kCallerIdCommands / sizeof kCallerIdCommands[0];

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

void Remove(std::vector<std::string>* list, const std::string& item) {
    list->erase(std::remove(list->begin(), list->end(), item), list->end());
}

bool IsCallerIdCommand(const std::string& normalized) {
    for (size_t i = 0; i < kCallerIdCommandCount; ++i) {
        if (normalized == kCallerIdCommands[i]) return true;
    }
    return false;
}

}  // namespace

ModemSettings DefaultModemSettings() {
    ModemSettings settings;
    for (size_t i = 0; i < kCallerIdCommandCount; ++i) {
        settings.accepted.push_back(kCallerIdCommands[i]);
    }
    return settings;
}

std::string NormalizeCommand(const std::string& command) {
    std::string out;
    for (char c : command) {
        if (c == ' ' || c == '\t') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

void AcceptCommand(ModemSettings* settings, const std::string& command) {
    std::string normalized = NormalizeCommand(command);
    Remove(&settings->refused, normalized);
    if (!Contains(settings->accepted, normalized)) settings->accepted.push_back(normalized);
}

void RefuseCommand(ModemSettings* settings, const std::string& command) {
    std::string normalized = NormalizeCommand(command);
    Remove(&settings->accepted, normalized);
    if (!Contains(settings->refused, normalized)) settings->refused.push_back(normalized);
}

Modem StartModem(const ModemSettings& settings, bool dead) {
    Modem modem;
    modem.settings = settings;
    modem.echo = settings.startEcho;
    modem.dead = dead;
    return modem;
}

void SetDead(Modem* modem, bool dead) {
    if (modem->dead && !dead) {
        modem->echo = modem->settings.startEcho;
        modem->line.clear();
    }
    modem->dead = dead;
}

void SetStartEcho(Modem* modem, bool echo) {
    modem->settings.startEcho = echo;
    modem->echo = echo;
}

std::string AnswerCommand(Modem* modem, const std::string& line) {
    std::string command = NormalizeCommand(line);
    if (modem->dead || command.empty()) return std::string();
    if (command.compare(0, 2, "AT") != 0) return kErrorReply;
    if (Contains(modem->settings.refused, command)) return kErrorReply;
    if (command == "ATZ") {
        modem->echo = modem->settings.startEcho;
        return kOkReply;
    }
    if (command == "ATE0" || command == "ATE1") {
        modem->echo = command == "ATE1";
        return kOkReply;
    }
    if (Contains(modem->settings.accepted, command)) return kOkReply;
    if (IsCallerIdCommand(command)) return kErrorReply;
    return kOkReply;
}

void ModemReceive(Modem* modem, const char* data, size_t size, ModemOutput* out) {
    for (size_t i = 0; i < size; ++i) {
        char c = data[i];
        // The echo of a byte goes out before anything the byte triggers: "ATZ\r" then the OK.
        if (modem->echo && !modem->dead) out->send += c;
        if (c == '\n') continue;
        if (c != '\r') {
            // Trimmed in batches: a flood without CR costs a copy per kilobyte, not per byte.
            if (modem->line.size() >= 2 * kMaxCommandLine) {
                modem->line.erase(0, modem->line.size() - kMaxCommandLine);
            }
            modem->line += c;
            continue;
        }
        std::string line;
        line.swap(modem->line);
        if (line.size() > kMaxCommandLine) line.erase(0, line.size() - kMaxCommandLine);
        if (line.empty()) continue;
        out->commands.push_back(line);
        out->send += AnswerCommand(modem, line);
    }
}

}  // namespace sim_modem
