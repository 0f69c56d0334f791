// The crash reporter with real faults in crash_probe.exe, its dialog driven from outside. The dialog
// as a user meets it is the end-to-end test's, the report's text and the mail's the native tests'.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "diag/crash_dialog_ids.h"
#include "diag/mail_link.h"
#include "tests/win/win_test.h"

namespace {

constexpr long kContinued = 7;  // crash_probe's exit code after the write succeeded

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the shell was asked to open, as the bench recorded it.
std::string Opened() { return ReadFileText(kOpenedFile); }

// One run of crash_probe.exe; ended by the test if it is still there when the test ends.
struct CrashProbe {
    explicit CrashProbe(const char* arguments = "") {
        char program[MAX_PATH];
        std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
        path = path.substr(0, path.find_last_of('\\') + 1) + "crash_probe.exe";
        std::string command = "\"" + path + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    }
    ~CrashProbe() {
        TerminateProcess(process.hProcess, 99);  // fails harmlessly once it has ended
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // The crash dialog of this process, once shown (a memory dump takes Wine some seconds).
    HWND WaitForDialog() {
        HWND found = nullptr;
        PumpUntil([&] {
            found = FindWindowA(nullptr, "Tellwire - Crash Report");
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner != process.dwProcessId || !IsWindowVisible(found)) found = nullptr;
            return found != nullptr || WaitForSingleObject(process.hProcess, 0) != WAIT_TIMEOUT;
        }, 60000);
        return found;
    }
    long ExitCode() {
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }
    PROCESS_INFORMATION process{};
};

// Wine loads no such library into crash_probe.exe while this lives (the prefix's per-program setting).
struct DisabledLibrary {
    explicit DisabledLibrary(const char* name) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\crash_probe.exe\\DllOverrides", name, REG_SZ,
                        "", 1);
    }
    ~DisabledLibrary() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\crash_probe.exe"); }
};

class Crash : public testing::Test {
protected:
    void SetUp() override {  // left over from an interrupted run, they would pass for this run's files
        DeleteFileA(dump_.c_str());
        DeleteFileA(report_.c_str());
    }
    const std::string dump_ = TempPath("tlwire.dmp");
    const std::string report_ = TempPath("tlwire.txt");
};

// A thread with a used-up stack cannot run the dump and the dialog; another thread does. Escape
// there means "leave me alone": with "Send crash report" checked, nothing is sent.
TEST_F(Crash, AStackOverflowIsReportedAndEscapeSendsNothing) {
    size_t opened = Opened().size();
    CrashProbe probe("--overflow");
    HWND dialog = probe.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(probe.process.dwThreadId, GetWindowThreadProcessId(dialog, nullptr));
    EXPECT_TRUE(Exists(dump_));
    EXPECT_NE(std::string::npos, ReadFileText(report_).find("Exception Description: STACK_OVERFLOW\r\n"));
    SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND), BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(kContinued, probe.ExitCode());
    EXPECT_FALSE(Exists(dump_));  // a mail by link would have kept the files
    EXPECT_FALSE(Exists(report_));
    EXPECT_EQ(opened, Opened().size());
}

TEST_F(Crash, WithoutTheDumpLibraryTheReportStillShows) {
    DisabledLibrary noDumps("dbghelp");
    CrashProbe probe;
    HWND dialog = probe.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(Exists(dump_));
    EXPECT_EQ(0u, ReadFileText(report_).find("Application: ")) << ReadFileText(report_);
    PostMessageA(dialog, WM_COMMAND, IDC_CRASH_ABORT, 0);
    EXPECT_EQ(0, probe.ExitCode());
    EXPECT_FALSE(Exists(report_));
}

std::string Encoded(const std::string& text) {
    std::vector<char> out(PercentEncodedSize(text.size()));
    PercentEncode(text.c_str(), out.data(), out.size());
    return out.data();
}

// The shell only records a mailto link here; Wine's MAPI hands mail to winebrowser (disabled) or xdg-email.
bool NoRealMailProgram() {
    char command[512] = "", overrides[1024] = "";
    LONG size = sizeof command;
    RegQueryValueA(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", command, &size);
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    return strstr(command, "opened.txt") != nullptr && strstr(overrides, "winebrowser.exe=d") != nullptr &&
           !Exists("Z:\\usr\\bin\\xdg-email") && !Exists("Z:\\usr\\local\\bin\\xdg-email") &&
           !Exists("Z:\\bin\\xdg-email");
}

HWND FolderWindow() {  // the shell's window showing a folder (Wine's explorer, or the one of Windows)
    HWND window = FindWindowA("ExplorerWClass", nullptr);
    return window != nullptr ? window : FindWindowA("CabinetWClass", nullptr);
}

// A mail by link (no MAPI, or Wine's that sends nothing) cannot carry the files: once they were deleted
// as it opened, and the user sent an empty report. The mail names them, they stay, their folder shows.
TEST_F(Crash, AMailByLinkKeepsTheFilesToAttach) {
    ASSERT_TRUE(NoRealMailProgram()) << "this prefix could open a real mail program";
    for (bool withMapi : {false, true}) {
        SCOPED_TRACE(withMapi ? "Wine's MAPI" : "without MAPI");
        std::unique_ptr<DisabledLibrary> noMapi(withMapi ? nullptr : new DisabledLibrary("mapi32"));
        size_t opened = Opened().size();
        CrashProbe probe;
        HWND dialog = probe.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_CRASH_SEND_DUMP), BM_CLICK, 0, 0);
        // The page the probe writes to gets its memory, so the write after "Ignore" succeeds.
        ASSERT_TRUE(VirtualAllocEx(probe.process.hProcess, reinterpret_cast<void*>(0x0000010000000000ull), 4096,
                                   MEM_COMMIT, PAGE_READWRITE));
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(kContinued, probe.ExitCode());
        EXPECT_TRUE(PumpUntil([&] { return Opened().size() > opened; }, 10000));
        std::string link = Opened().substr(opened);
        EXPECT_NE(std::string::npos, link.find("mailto:support@tellwire.quillex.example?")) << link;
        EXPECT_NE(std::string::npos, link.find("%3A%0D%0A" + Encoded(report_) + "%0D%0A" + Encoded(dump_))) << link;
        EXPECT_TRUE(Exists(report_));
        EXPECT_TRUE(Exists(dump_));
        EXPECT_TRUE(PumpUntil([] { return FolderWindow() != nullptr; }, 30000)) << "no folder shown";
        EXPECT_TRUE(PumpUntil(
            [] { HWND shown = FolderWindow(); return !shown || !PostMessageA(shown, WM_CLOSE, 0, 0); }, 10000));
        DeleteFileA(report_.c_str());
        DeleteFileA(dump_.c_str());
    }
}

}  // namespace
