// sim_modem: a caller-ID modem on a pseudo-terminal, the fixture of Tellwire's end-to-end tests
// and of its demo. See --help (options.cpp) for what it does; this file is the loop that joins
// the pty, the control FIFO, the timers and the signals to the modem and the players.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim_modem/control_fifo.h"
#include "tools/sim_modem/escapes.h"
#include "tools/sim_modem/modem.h"
#include "tools/sim_modem/options.h"
#include "tools/sim_modem/player.h"
#include "tools/sim_modem/pty_port.h"
#include "tools/sim_modem/record_file.h"
#include "tools/sim_modem/record_line.h"
#include "tools/sim_modem/script.h"
#include "tools/sim_modem/symlink_file.h"
#include "tools/sim_modem/system_error.h"
#include "tools/sim_modem/wine_port.h"

namespace sim_modem {
namespace {

// Output waiting for a slow or stuck reader is capped: a repeating script towards a port that
// is open but never read would otherwise grow without end. Beyond it output is dropped.
constexpr size_t kMaxOutgoing = 1 << 20;
// A pty write or read of at most this much makes one "tx"/"rx" line: long enough for any modem
// line, short enough for the record to stay readable.
constexpr size_t kChunk = 4096;
// Items played per wake-up at most, so that a long-stalled repeating script cannot starve the
// pty and the FIFO while it catches up.
constexpr int kItemsPerWake = 1000;
// How long "quit" and SIGTERM wait for queued output to leave.
constexpr double kDrainSeconds = 0.5;

struct Session {
    Options options;
    std::string link;  // absolute
    PtyPort port;
    ControlFifo fifo;
    RecordFile record;
    UniqueFd signals;
    Modem modem;
    Player script;
    Player control;
    std::string outgoing;  // accepted by the modem, not yet by the pty
    bool otherOpen = false;
    bool outgoingCapped = false;  // reported on stderr once
    bool quit = false;
    int exitCode = 0;
    timespec start{};
};

double Now(const Session& session) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - session.start.tv_sec) +
           static_cast<double>(now.tv_nsec - session.start.tv_nsec) / 1e9;
}

// The record's clock: since start, or the wall clock that other programs (a benchmark timing
// what the modem's lines cause) can read too.
double RecordStamp(const Session& session) {
    if (!session.options.wallClock) return Now(session);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Record(Session* session, const char* event, const std::string& detail) {
    RecordEvent(&session->record, RecordStamp(*session), event, detail);
}

void Fail(Session* session, const std::string& message) {
    std::fprintf(stderr, "sim_modem: %s\n", message.c_str());
    session->quit = true;
    session->exitCode = 1;
}

void OnOpened(Session* session) {
    session->otherOpen = true;
    Record(session, "open", "");
}

// Output that did not leave before the close goes nowhere, like a modem's with nobody on the
// line; ResetSlave drops what did leave but was not read.
// "close" is written once the slave is reset, so that a test which saw it may open again at once.
void OnClosed(Session* session) {
    session->otherOpen = false;
    session->outgoing.clear();
    std::string error;
    if (!ResetSlave(session->port, &error)) std::fprintf(stderr, "sim_modem: %s\n", error.c_str());
    Record(session, "close", "");
}

void FlushOutgoing(Session* session) {
    while (session->otherOpen && !session->outgoing.empty()) {
        size_t size = session->outgoing.size() < kChunk ? session->outgoing.size() : kChunk;
        size_t sent = 0;
        int errorNumber = 0;
        switch (WritePty(session->port, session->outgoing.data(), size, &sent, &errorNumber)) {
            case PtyWrite::Sent:
                Record(session, "tx", HexBytes(session->outgoing.data(), sent));
                session->outgoing.erase(0, sent);
                break;
            case PtyWrite::Full: return;
            case PtyWrite::Closed: OnClosed(session); return;
            case PtyWrite::Failed: Fail(session, SystemError("pty write", errorNumber)); return;
        }
    }
}

// What the modem sends. Nothing leaves a dead modem or goes to a port nobody has open.
void Send(Session* session, const std::string& bytes) {
    if (bytes.empty() || session->modem.dead || !session->otherOpen) return;
    size_t room = kMaxOutgoing - session->outgoing.size();
    if (bytes.size() > room && !session->outgoingCapped) {
        std::fprintf(stderr, "sim_modem: the other side does not read; output dropped\n");
        session->outgoingCapped = true;
    }
    session->outgoing.append(bytes, 0, bytes.size() < room ? bytes.size() : room);
    FlushOutgoing(session);
}

// Reads until the pty has nothing more; also the probe that sees the other side open the slave.
void ReceiveFromPty(Session* session) {
    char buffer[kChunk];
    while (!session->quit) {
        size_t got = 0;
        int errorNumber = 0;
        switch (ReadPty(session->port, buffer, sizeof buffer, &got, &errorNumber)) {
            case PtyRead::Data: {
                if (!session->otherOpen) OnOpened(session);
                Record(session, "rx", HexBytes(buffer, got));
                ModemOutput out;
                ModemReceive(&session->modem, buffer, got, &out);
                for (const std::string& command : out.commands) {
                    Record(session, "cmd", EncodeEscapes(command));
                }
                Send(session, out.send);
                break;
            }
            case PtyRead::Empty:
                if (!session->otherOpen) OnOpened(session);
                return;
            case PtyRead::Closed:
                if (session->otherOpen) OnClosed(session);
                return;
            case PtyRead::Failed:
                Fail(session, SystemError("pty read", errorNumber));
                return;
        }
    }
}

CallTime LocalCallTime() {
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return CallTime{local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

void Apply(Session* session, Player* player, const ScriptItem& item) {
    switch (item.kind) {
        case ItemKind::Sleep: break;
        case ItemKind::Line: Send(session, "\r\n" + item.text + "\r\n"); break;
        case ItemKind::Raw: Send(session, item.text); break;
        case ItemKind::Call:
            PlayerPrepend(player, ExpandCall(item, LocalCallTime(), session->options.ringGap));
            break;
        case ItemKind::Echo: SetStartEcho(&session->modem, item.on); break;
        case ItemKind::Dead:
            SetDead(&session->modem, item.on);
            if (item.on) session->outgoing.clear();
            break;
        case ItemKind::Accept: AcceptCommand(&session->modem.settings, item.text); break;
        case ItemKind::Refuse: RefuseCommand(&session->modem.settings, item.text); break;
        case ItemKind::Quit: session->quit = true; break;
    }
}

void PlayDue(Session* session, Player* player) {
    ScriptItem item;
    for (int i = 0; i < kItemsPerWake && !session->quit; ++i) {
        if (!PlayerNext(player, Now(*session), &item)) return;
        Apply(session, player, item);
    }
}

void ReadControl(Session* session) {
    std::vector<std::string> lines;
    std::vector<std::string> warnings;
    std::string error;
    if (!ReadControlFifo(&session->fifo, &lines, &warnings, &error)) Fail(session, error);
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "sim_modem: %s\n", warning.c_str());
    }
    for (const std::string& line : lines) {
        ScriptItem item;
        switch (ParseScriptLine(line, ScriptSource::Control, &item, &error)) {
            case LineParse::Item: PlayerAppend(&session->control, item, Now(*session)); break;
            case LineParse::Nothing: break;
            case LineParse::Error:
                std::fprintf(stderr, "sim_modem: control line \"%s\" ignored: %s\n",
                             EncodeEscapes(line).c_str(), error.c_str());
                break;
        }
    }
}

void ReadSignal(Session* session) {
    signalfd_siginfo info{};
    if (read(session->signals.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        session->quit = true;
    }
}

int MillisecondsUntil(double when, double now) {
    if (std::isinf(when)) return -1;
    if (when <= now) return 0;
    double ms = std::ceil((when - now) * 1000);
    return ms > 1000 ? 1000 : static_cast<int>(ms);
}

void Run(Session* session) {
    while (!session->quit) {
        PlayDue(session, &session->script);
        PlayDue(session, &session->control);
        if (session->quit) break;

        double now = Now(*session);
        double wake = PlayerWakeTime(session->script);
        double controlWake = PlayerWakeTime(session->control);
        if (controlWake < wake) wake = controlWake;
        int timeout = MillisecondsUntil(wake, now);
        // A closed port cannot be polled (it reports POLLHUP without end): it is probed instead.
        if (!session->otherOpen && (timeout < 0 || timeout > kClosedProbeMs)) {
            timeout = kClosedProbeMs;
        }

        pollfd fds[3] = {};
        fds[0] = {session->signals.get(), POLLIN, 0};
        fds[1] = {session->fifo.fd.valid() ? session->fifo.fd.get() : -1, POLLIN, 0};
        short ptyEvents = session->outgoing.empty() ? POLLIN : POLLIN | POLLOUT;
        fds[2] = {session->otherOpen ? session->port.master.get() : -1, ptyEvents, 0};
        if (poll(fds, 3, timeout) < 0 && errno != EINTR) {
            Fail(session, SystemError("poll", errno));
            break;
        }
        if (fds[0].revents != 0) ReadSignal(session);
        // Control lines play before the pty is looked at again: a line written while the port
        // is closed is dropped even when the other side opens it a moment later.
        if (fds[1].revents != 0) {
            ReadControl(session);
            PlayDue(session, &session->control);
        }
        if (!session->otherOpen || (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            ReceiveFromPty(session);
        }
        if ((fds[2].revents & POLLOUT) != 0) FlushOutgoing(session);
    }
}

// Gives queued output a short while to leave before the end: "line BYE" then "quit" should
// say bye.
void Drain(Session* session) {
    double until = Now(*session) + kDrainSeconds;
    session->quit = false;
    while (session->otherOpen && !session->outgoing.empty() && !session->quit) {
        double now = Now(*session);
        if (now >= until) break;
        pollfd fd = {session->port.master.get(), POLLOUT, 0};
        poll(&fd, 1, MillisecondsUntil(until, now));
        FlushOutgoing(session);
    }
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    *text = content.str();
    return !file.bad();
}

bool BlockSignals(Session* session, std::string* error) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        *error = SystemError("sigprocmask", errno);
        return false;
    }
    session->signals.reset(signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
    if (!session->signals.valid()) {
        *error = SystemError("signalfd", errno);
        return false;
    }
    // A reader of "ready" that went away must not kill the modem with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    return true;
}

// Everything up to "ready"; on failure the caller cleans up what was made.
bool SetUp(Session* session, std::string* error) {
    const Options& options = session->options;
    std::vector<ScriptItem> items;
    if (!options.script.empty()) {
        std::string text;
        if (!ReadWholeFile(options.script, &text)) {
            *error = SystemError("cannot read the script " + options.script, errno);
            return false;
        }
        ScriptParse parse = ParseScript(text, ScriptSource::File);
        if (!parse.ok) {
            *error = options.script + ":" + std::to_string(parse.errorLine) + ": " + parse.error;
            return false;
        }
        items = parse.items;
    }
    if (!BlockSignals(session, error)) return false;
    if (!options.record.empty() && !OpenRecordFile(&session->record, options.record, error)) {
        return false;
    }
    if (!OpenPtyPort(&session->port, error)) return false;
    if (!PointLink(session->link, session->port.slavePath, error)) return false;
    if (!options.control.empty() &&
        !CreateControlFifo(&session->fifo, AbsolutePath(options.control), error)) {
        return false;
    }
    if (options.com != 0 && !MakeWinePort(options.com, session->link, error)) return false;
    session->modem = StartModem(options.modem, options.dead);
    session->script = StartPlayer(items, Now(*session), options.repeatSeconds);
    session->control = StartPlayer({}, Now(*session), 0);
    return true;
}

}  // namespace

int RunTool(int argc, char** argv) {
    OptionsParse parse = ParseOptions(argc - 1, argv + 1);
    if (!parse.ok) {
        std::fprintf(stderr, "sim_modem: %s\nTry sim_modem --help.\n", parse.error.c_str());
        return 2;
    }
    if (parse.options.help) {
        std::fputs(kHelpText, stdout);
        return 0;
    }
    Session session;
    clock_gettime(CLOCK_MONOTONIC, &session.start);
    session.options = parse.options;
    session.link = AbsolutePath(parse.options.link);

    std::string error;
    if (SetUp(&session, &error)) {
        std::printf("ready %s\n", session.link.c_str());
        std::fflush(stdout);
        Run(&session);
        Drain(&session);
    } else {
        std::fprintf(stderr, "sim_modem: %s\n", error.c_str());
        session.exitCode = 1;
    }
    if (!session.port.slavePath.empty()) RemoveLinkIfOurs(session.link, session.port.slavePath);
    RemoveControlFifo(&session.fifo);
    return session.exitCode;
}

}  // namespace sim_modem

int main(int argc, char** argv) { return sim_modem::RunTool(argc, argv); }
