// The crash reporter with real faults: crash_probe.exe (beside this test) installs it and writes
// to memory that is not there; this test drives the Crash Report dialog from outside, the way a
// user's clicks and keys reach it, gives the memory when the write is to succeed after "Ignore",
// and looks at the files and the mail that the crash leaves.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "diag/crash_dialog_ids.h"
#include "diag/mail_link.h"

namespace {

constexpr char kTitle[] = "Tellwire - Crash Report";
constexpr char kSecondTitle[] = "Tellwire - Crash Report  [2]";
constexpr DWORD kDialogWaitMs = 60000;  // a memory dump takes Wine some seconds
constexpr DWORD kExitWaitMs = 30000;
constexpr DWORD kContinued = 7;         // crash_probe's exit code after the write succeeded
// Where crash_probe writes: reserved there, without memory until the test commits it.
constexpr ULONG_PTR kFaultPage = 0x0000010000000000ull;
constexpr int kChooserFileName = 0x47C;  // the file name box of the system's save-file chooser
constexpr char kOpenedFile[] = "C:\\users\\Public\\opened.txt";
constexpr char kSupportMail[] =
    "mailto:support@tellwire.quillex.example?subject=Tellwire%20v1.2%20-%20Crash%20Report"
    "&body=Please%20describe%20the%20problem.%0D%0AWhat%20have%20you%20done%20before%20you%20have%20got%20the%20"
    "error%20message%3F";
// What a mail link says instead of carrying the files; their paths follow, one a line.
constexpr char kAttachNote[] =
    "%0D%0A%0D%0AThe%20files%20of%20the%20report%20cannot%20go%20with%20this%20mail%20by%20themselves.%20Please%20"
    "attach%20them%20from%20the%20folder%20that%20has%20been%20opened%20for%20you%3A";

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!text.empty()) ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

// The addresses the shell was asked to open: the bench records them instead of opening them.
std::vector<std::string> OpenedByShell() {
    std::vector<std::string> lines;
    std::string text = ReadText(kOpenedFile);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// What another process's control shows; its own window text is only a copy for other processes.
std::string Text(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &got);
    text.resize(got < length ? got : length);
    return text;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

bool Checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Height(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame.bottom - frame.top;
}

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// One run of crash_probe.exe; ended by the test if it is still there when the test ends.
class CrashProbe {
public:
    explicit CrashProbe(const char* arguments = "") {
        char program[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
        std::string path(program, length);
        path = path.substr(0, path.find_last_of('\\') + 1) + "crash_probe.exe";
        std::string command = "\"" + path + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
    }
    ~CrashProbe() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    CrashProbe(const CrashProbe&) = delete;
    CrashProbe& operator=(const CrashProbe&) = delete;

    bool started() const { return started_; }
    DWORD mainThreadId() const { return process_.dwThreadId; }

    // Gives the page the probe writes to its memory, so the write after the next "Ignore" succeeds.
    bool CommitFaultPage() {
        return VirtualAllocEx(process_.hProcess, reinterpret_cast<void*>(kFaultPage), 4096, MEM_COMMIT,
                              PAGE_READWRITE) != nullptr;
    }

    // The crash dialog of this process with exactly this title.
    HWND WaitForDialog(const char* title, DWORD timeoutMs = kDialogWaitMs) {
        HWND found = nullptr;
        WaitFor(
            [&] {
                HWND window = FindWindowA(nullptr, title);
                DWORD owner = 0;
                if (window != nullptr) GetWindowThreadProcessId(window, &owner);
                if (window != nullptr && owner == process_.dwProcessId && IsWindowVisible(window)) found = window;
                return found != nullptr || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
            },
            timeoutMs);
        return found;
    }

    // The exit code, or -1 while it still runs after the wait.
    long ExitCode(DWORD timeoutMs = kExitWaitMs) {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// Wine loads no such library into crash_probe.exe while this lives (the prefix's per-program
// library settings; a child process does not take them from our environment).
class DisabledLibrary {
public:
    explicit DisabledLibrary(const char* name) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        }
    }
    ~DisabledLibrary() {
        if (key_ != nullptr) RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\crash_probe.exe");
    }
    DisabledLibrary(const DisabledLibrary&) = delete;
    DisabledLibrary& operator=(const DisabledLibrary&) = delete;

private:
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\crash_probe.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

class Crash : public testing::Test {
protected:
    void SetUp() override {
        // Left over from an interrupted run, they would pass for this run's files.
        DeleteFileA(dump_.c_str());
        DeleteFileA(report_.c_str());
    }
    const std::string dump_ = TempPath("tlwire.dmp");
    const std::string report_ = TempPath("tlwire.txt");
};

TEST_F(Crash, RealFaultShowsTheDialogWithDumpAndReportThenAbortEnds) {
    CrashProbe probe;
    ASSERT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    ASSERT_NE(nullptr, dialog) << "no crash dialog";
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER));
    EXPECT_EQ("Tellwire has encountered a problem and needs your attention.  We are sorry for the inconvenience.",
              ItemText(dialog, IDC_CRASH_PROBLEM));
    EXPECT_EQ("Ignore", ItemText(dialog, IDOK));
    EXPECT_EQ("Abort the program", ItemText(dialog, IDC_CRASH_ABORT));
    EXPECT_FALSE(Checked(dialog, IDC_CRASH_SEND));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CRASH_SEND_DUMP)));  // only with "Send crash report"

    EXPECT_TRUE(Exists(dump_));  // both files exist while the dialog is open
    ASSERT_TRUE(Exists(report_));
    std::string report = ReadText(report_);
    EXPECT_EQ(0u, report.find("Execption In Module: ")) << report;
    EXPECT_NE(std::string::npos, report.find("crash_probe.exe\r\nApplication: ")) << report;
    EXPECT_NE(std::string::npos, report.find("Exception Code: 0xC0000005\r\nException Description: ACCESS_VIOLATION\r\n"));
    EXPECT_NE(std::string::npos, report.find("Exception Information [0]: 0x0000000000000001\r\n"));  // a write
    EXPECT_NE(std::string::npos, report.find("Exception Information [1]: 0x0000010000000010\r\n"));  // full width
    EXPECT_EQ(std::string::npos, report.find("Exception Information [2]"));
    EXPECT_NE(std::string::npos, report.find("\r\n-- Modules --\r\n\r\nFullPath: "));

    // Folded at first; "More Information" unfolds the report and folds it again.
    HWND field = GetDlgItem(dialog, IDC_CRASH_REPORT);
    EXPECT_FALSE(IsWindowEnabled(field));
    int folded = Height(dialog);
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_MORE), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(field));
    // The new height may reach this process a moment after the click.
    EXPECT_TRUE(WaitFor([&] { return Height(dialog) > folded + 100; }, 3000)) << folded << " " << Height(dialog);
    EXPECT_EQ(report, Text(field));
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_MORE), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(field));
    EXPECT_TRUE(WaitFor([&] { return Height(dialog) == folded; }, 3000)) << folded << " " << Height(dialog);

    // "Save Dump As..." asks for a name and copies the dump there; the copy outlives the crash.
    const std::string saved = "C:\\users\\Public\\tlwire-saved.dmp";
    DeleteFileA(saved.c_str());
    PostMessageA(dialog, WM_COMMAND, IDC_CRASH_SAVE_DUMP, 0);
    HWND chooser = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (chooser = FindWindowA(nullptr, "Save As")) != nullptr; }, 10000));
    if (chooser != nullptr) {
        EXPECT_EQ(dialog, GetWindow(chooser, GW_OWNER));
        SetDlgItemTextA(chooser, kChooserFileName, saved.c_str());
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return ReadText(saved).size() == ReadText(dump_).size(); }, 10000));
    }

    PostMessageA(dialog, WM_COMMAND, IDC_CRASH_ABORT, 0);
    EXPECT_EQ(0, probe.ExitCode());
    EXPECT_FALSE(Exists(dump_));
    EXPECT_FALSE(Exists(report_));
    EXPECT_TRUE(Exists(saved));
    DeleteFileA(saved.c_str());
}

TEST_F(Crash, IgnoreRunsTheWriteAgainAndTheSecondDialogCountsAndCountsDown) {
    CrashProbe probe;
    ASSERT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    ASSERT_NE(nullptr, dialog);

    // Five seconds after opening, the countdown shows on the button; a click on the dialog ends it.
    HWND ignore = GetDlgItem(dialog, IDOK);
    EXPECT_TRUE(WaitFor([&] { return Text(ignore).rfind("Ignore [", 0) == 0; }, 10000)) << Text(ignore);
    int shown = atoi(Text(ignore).c_str() + 8);
    EXPECT_GE(shown, 55);
    EXPECT_LE(shown, 60);
    PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(WaitFor([&] { return Text(ignore) == "Ignore"; }, 3000)) << Text(ignore);
    Sleep(1500);
    EXPECT_EQ("Ignore", Text(ignore));  // stopped, not only reset

    SendMessageA(ignore, BM_CLICK, 0, 0);

    // The same write faults again: the dialog is back, with its count in the title.
    HWND second = probe.WaitForDialog(kSecondTitle);
    ASSERT_NE(nullptr, second) << "no second crash dialog";
    EXPECT_EQ(nullptr, FindWindowA(nullptr, kTitle));

    // Let the countdown run to its end; a shorter start keeps the test short.
    ASSERT_TRUE(probe.CommitFaultPage());
    HWND secondIgnore = GetDlgItem(second, IDOK);
    ASSERT_TRUE(WaitFor([&] { return Text(secondIgnore).rfind("Ignore [", 0) == 0; }, 10000));
    SendMessageA(secondIgnore, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ignore [2]"));
    DWORD start = GetTickCount();
    EXPECT_EQ(static_cast<long>(kContinued), probe.ExitCode(10000)) << "the countdown did not end as Ignore";
    EXPECT_GE(GetTickCount() - start, 1000u);
    EXPECT_FALSE(Exists(dump_));
    EXPECT_FALSE(Exists(report_));
}

TEST_F(Crash, EscapeUnchecksSendOnAnyThreadAndNothingIsSent) {
    size_t before = OpenedByShell().size();
    CrashProbe probe("--thread");
    ASSERT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    ASSERT_NE(nullptr, dialog);
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(dialog, IDC_CRASH_SEND));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CRASH_SEND_DUMP)));
    ASSERT_TRUE(probe.CommitFaultPage());
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(static_cast<long>(kContinued), probe.ExitCode());
    Sleep(1000);
    EXPECT_EQ(before, OpenedByShell().size());
}

// A thread with a used-up stack cannot run the dump and the dialog; another thread does.
TEST_F(Crash, StackOverflowIsHandledOnAnotherThread) {
    CrashProbe probe("--overflow");
    ASSERT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(probe.mainThreadId(), GetWindowThreadProcessId(dialog, nullptr));
    EXPECT_TRUE(Exists(dump_));
    EXPECT_NE(std::string::npos,
              ReadText(report_).find("Exception Code: 0xC00000FD\r\nException Description: STACK_OVERFLOW\r\n"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(static_cast<long>(kContinued), probe.ExitCode());
    EXPECT_FALSE(Exists(dump_));
}

// Whether the shell of this prefix only records a mailto link instead of opening a mail program.
bool MailLinksRecorded() {
    char command[512] = "";
    LONG size = sizeof command;
    RegQueryValueA(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", command, &size);
    return strstr(command, "opened.txt") != nullptr;
}

// Whether Wine's own MAPI can reach no mail program here: it hands a mail to winebrowser (which
// the bench disables) and, in newer versions, to xdg-email first.
bool WineMapiReachesNoMailProgram() {
    char overrides[1024] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    if (strstr(overrides, "winebrowser.exe=d") == nullptr) return false;
    for (const char* tool : {"Z:\\usr\\bin\\xdg-email", "Z:\\usr\\local\\bin\\xdg-email", "Z:\\bin\\xdg-email"}) {
        if (Exists(tool)) return false;
    }
    return true;
}

// Checks "Send crash report" and the dump, closes with Ignore, and returns the links the shell
// was asked to open meanwhile.
std::vector<std::string> SendFromTheDialog() {
    size_t before = OpenedByShell().size();
    CrashProbe probe;
    EXPECT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    EXPECT_NE(nullptr, dialog);
    if (dialog == nullptr) return {};
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND_DUMP), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(dialog, IDC_CRASH_SEND_DUMP));
    EXPECT_TRUE(probe.CommitFaultPage());
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);  // Ignore keeps the check mark
    EXPECT_EQ(static_cast<long>(kContinued), probe.ExitCode());
    WaitFor([&] { return OpenedByShell().size() > before; }, 10000);
    std::vector<std::string> opened = OpenedByShell();
    return std::vector<std::string>(opened.begin() + before, opened.end());
}

std::string Encoded(const std::string& text) {
    std::vector<char> out(PercentEncodedSize(text.size()));
    PercentEncode(text.c_str(), out.data(), out.size());
    return out.data();
}

BOOL CALLBACK CollectFolderWindow(HWND window, LPARAM list) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "ExplorerWClass") == 0 || lstrcmpA(name, "CabinetWClass") == 0) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The windows in which the shell shows a folder (Wine's explorer, or the one of Windows).
std::vector<HWND> FolderWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectFolderWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A link cannot carry the files: the mail names them, they stay in the temporary folder, and
// that folder is shown (here closed again by the test).
void ExpectTheFilesLeftToAttach(const std::vector<std::string>& links, const std::string& report,
                                const std::string& dump) {
    EXPECT_EQ(std::vector<std::string>{std::string(kSupportMail) + kAttachNote + "%0D%0A" + Encoded(report) +
                                       "%0D%0A" + Encoded(dump)},
              links);
    EXPECT_TRUE(Exists(report));
    EXPECT_TRUE(Exists(dump));
    EXPECT_TRUE(WaitFor([] { return !FolderWindows().empty(); }, 30000)) << "no folder shown";
    for (HWND window : FolderWindows()) PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([] { return FolderWindows().empty(); }, 10000));
    DeleteFileA(report.c_str());
    DeleteFileA(dump.c_str());
}

TEST_F(Crash, SendWithoutMapiOpensAMailLinkToSupport) {
    if (!MailLinksRecorded()) GTEST_SKIP() << "this prefix would open a real mail program";
    DisabledLibrary noMapi("mapi32");
    ExpectTheFilesLeftToAttach(SendFromTheDialog(), report_, dump_);
}

TEST_F(Crash, SendThroughWineMapiEndsAsTheSameLink) {
    if (!MailLinksRecorded() || !WineMapiReachesNoMailProgram()) {
        GTEST_SKIP() << "Wine's MAPI could open a real mail program here";
    }
    ExpectTheFilesLeftToAttach(SendFromTheDialog(), report_, dump_);
}

TEST_F(Crash, WithoutTheDumpLibraryTheReportStillShows) {
    DisabledLibrary noDumps("dbghelp");
    CrashProbe probe;
    ASSERT_TRUE(probe.started());
    HWND dialog = probe.WaitForDialog(kTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(Exists(dump_));
    std::string report = ReadText(report_);
    EXPECT_EQ(0u, report.find("Application: ")) << report;  // no module list, so no faulting module
    EXPECT_EQ(std::string::npos, report.find("FullPath"));
    EXPECT_TRUE(report.size() > 17 && report.compare(report.size() - 17, 17, "\r\n-- Modules --\r\n") == 0);

    SendMessageA(GetDlgItem(dialog, IDC_CRASH_MORE), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CRASH_REPORT)));
    EXPECT_EQ(report, ItemText(dialog, IDC_CRASH_REPORT));

    PostMessageA(dialog, WM_COMMAND, IDC_CRASH_SAVE_DUMP, 0);  // no dump: no file chooser
    Sleep(1500);
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Save As"));
    PostMessageA(dialog, WM_COMMAND, IDC_CRASH_ABORT, 0);
    EXPECT_EQ(0, probe.ExitCode());
    EXPECT_FALSE(Exists(report_));
}

}  // namespace
