// Starts the real simulated modem (its path in $SIM_MODEM) and talks to it through its pty the
// way Wine's COM port does: open(2) of the published link, raw mode, bytes both ways.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Every wait is bounded; a healthy run needs a small fraction of this.
constexpr int kTimeoutMs = 3000;

double Seconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Polls done() until it holds (true) or the bound is up (false).
template <typename Done>
bool Await(Done done) {
    for (double deadline = Seconds() + kTimeoutMs / 1000.0; !done(); usleep(1000)) {
        if (Seconds() > deadline) return false;
    }
    return true;
}

// Reads from fd until what came ends with expected (true) or the time is up (false). *got is all
// that came.
bool ReadUntil(int fd, const std::string& expected, std::string* got) {
    got->clear();
    double deadline = Seconds() + kTimeoutMs / 1000.0;
    while (got->size() < expected.size() ||
           got->compare(got->size() - expected.size(), expected.size(), expected) != 0) {
        int left = static_cast<int>((deadline - Seconds()) * 1000);
        if (left <= 0) return false;
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, left) <= 0) continue;
        char buffer[256];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return false;
        got->append(buffer, static_cast<size_t>(n));
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The events of a record, without their times: "open", "cmd ATZ", ...
std::vector<std::string> Events(const std::string& record) {
    std::vector<std::string> events;
    std::istringstream lines(record);
    std::string line;
    while (std::getline(lines, line)) {
        size_t blank = line.find(' ');
        events.push_back(blank == std::string::npos ? "?" + line : line.substr(blank + 1));
    }
    return events;
}

size_t Count(const std::vector<std::string>& events, const std::string& event) {
    size_t n = 0;
    for (const std::string& e : events) n += e == event;
    return n;
}

class SimModemPty : public testing::Test {
protected:
    void SetUp() override {
        const char* tool = std::getenv("SIM_MODEM");
        if (tool == nullptr || tool[0] == '\0') {
            GTEST_FAIL() << "SIM_MODEM (the path of the sim_modem tool) is not set: run through ctest";
        }
        tool_ = tool;
        char dir[] = "/tmp/sim_modem_test.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(dir));
        dir_ = dir;
        link_ = dir_ + "/modem";
        record_ = dir_ + "/record";
        control_ = dir_ + "/control";
    }

    void TearDown() override {
        if (slave_ >= 0) close(slave_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
        if (!dir_.empty()) {
            unlink(link_.c_str());
            unlink(record_.c_str());
            unlink(control_.c_str());
            rmdir(dir_.c_str());
        }
    }

    // Starts the tool and waits for its "ready" line.
    void Start(const std::vector<std::string>& extra) {
        std::vector<std::string> words = {tool_, "--link", link_, "--record", record_,
                                          "--control", control_};
        words.insert(words.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(&word[0]);
        argv.push_back(nullptr);
        int pipeFds[2];
        ASSERT_EQ(0, pipe2(pipeFds, O_CLOEXEC));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        int spawned = posix_spawn(&pid_, tool_.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        out_ = pipeFds[0];
        ASSERT_EQ(0, spawned) << tool_;
        std::string got;
        ASSERT_TRUE(ReadUntil(out_, "ready " + link_ + "\n", &got)) << "tool said: " << got;
    }

    // Opens the modem as Wine does: read-write, no controlling terminal, raw.
    void OpenSlave() {
        slave_ = open(link_.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave_, 0) << link_ << ": " << strerror(errno);
        termios raw{};
        ASSERT_EQ(0, tcgetattr(slave_, &raw));
        cfmakeraw(&raw);
        ASSERT_EQ(0, tcsetattr(slave_, TCSANOW, &raw));
    }

    void CloseSlave() {
        close(slave_);
        slave_ = -1;
    }

    // Writes a control line and waits until the tool has read it (the FIFO is empty again):
    // from then on it has played the line before it looks at the pty again.
    void Control(const std::string& line) {
        int fd = open(control_.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(fd, 0) << control_ << ": " << strerror(errno);
        std::string text = line + "\n";
        EXPECT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
        int queued = 1;
        EXPECT_TRUE(Await([&] { return ioctl(fd, FIONREAD, &queued) == 0 && queued == 0; }))
            << "the tool did not read " << line;
        close(fd);
    }

    // Waits until the record holds count lines of event.
    bool AwaitEvent(const std::string& event, size_t count) {
        return Await([&] { return Count(Events(ReadFile(record_)), event) >= count; });
    }

    // Stops the tool with SIGTERM, or with a "quit" line on its control FIFO; its exit status.
    int Stop(bool byQuit = false) {
        if (byQuit) {
            Control("quit");
        } else {
            EXPECT_EQ(0, kill(pid_, SIGTERM));
        }
        int status = -1;
        // Still running: -1, and TearDown kills it.
        if (!Await([&] { return waitpid(pid_, &status, WNOHANG) != 0; })) return -1;
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string tool_, dir_, link_, record_, control_;
    pid_t pid_ = 0;
    int out_ = -1;
    int slave_ = -1;
};

TEST_F(SimModemPty, AnswersAndRecords) {
    Start({});
    OpenSlave();
    ASSERT_EQ(4, write(slave_, "ATZ\r", 4));
    std::string got;
    EXPECT_TRUE(ReadUntil(slave_, "ATZ\r\r\nOK\r\n", &got)) << got;
    EXPECT_EQ("ATZ\r\r\nOK\r\n", got);

    Control("line RING");
    EXPECT_TRUE(ReadUntil(slave_, "\r\nRING\r\n", &got)) << got;
    EXPECT_EQ("\r\nRING\r\n", got);

    CloseSlave();
    ASSERT_TRUE(AwaitEvent("close", 1)) << ReadFile(record_);
    std::vector<std::string> events = Events(ReadFile(record_));
    std::vector<std::string> expected = {"open",
                                         "rx 41545a0d",
                                         "cmd ATZ",
                                         "tx 41545a0d0d0a4f4b0d0a",  // echo and OK
                                         "tx 0d0a52494e470d0a",      // RING
                                         "close"};
    EXPECT_EQ(expected, events) << ReadFile(record_);

    EXPECT_EQ(0, Stop());
    struct stat info;
    EXPECT_NE(0, lstat(link_.c_str(), &info)) << "link left behind";
    EXPECT_NE(0, lstat(control_.c_str(), &info)) << "FIFO left behind";
}

TEST_F(SimModemPty, EveryOpeningStartsEmpty) {
    Start({});
    std::string got;
    for (int round = 1; round <= 4; ++round) {
        OpenSlave();
        ASSERT_EQ(3, write(slave_, "AT\r", 3));
        EXPECT_TRUE(ReadUntil(slave_, "AT\r\r\nOK\r\n", &got)) << round << ": " << got;
        EXPECT_EQ("AT\r\r\nOK\r\n", got) << round << ": neither STALE nor LOST before it";
        Control("line STALE");  // sent, never read
        ASSERT_TRUE(AwaitEvent("tx 0d0a5354414c450d0a", round)) << round;
        CloseSlave();
        ASSERT_TRUE(AwaitEvent("close", round)) << round;
        Control("line LOST");  // nobody listens
    }
    std::vector<std::string> events = Events(ReadFile(record_));
    EXPECT_EQ(0u, Count(events, "tx 0d0a4c4f53540d0a")) << "LOST was sent to a closed port";
    EXPECT_EQ(0, Stop());
}

TEST_F(SimModemPty, ScriptAndQuit) {
    std::string script = dir_ + "/script";
    std::ofstream(script) << "# no call: its rings take seconds\n"
                             "sleep 0.2\nline HELLO\nraw \\x00\\xff\n";
    Start({"--script", script, "--echo", "off"});
    OpenSlave();
    std::string got;
    EXPECT_TRUE(ReadUntil(slave_, std::string("\r\nHELLO\r\n\0\xff", 11), &got)) << got;
    EXPECT_EQ(0, Stop(true)) << "-1: still running after quit";
    unlink(script.c_str());
}

}  // namespace
