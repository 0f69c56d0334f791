// The ring sound: the player, the Sounds page on a shown stand-in for the main window, and a
// ring of the real main window. The bench has no audio device (Audio="" in its prefix), so
// nothing is heard; what the test can see is the system's player reading the wave file: it
// opens the file and reads its header before it asks for a device. Each file starts with a
// last-access time in 2001, and a read moves it to now (the disk keeps access times, which the
// test checks first and skips itself when they are not kept).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "present/sound_player.h"
#include "present/sounds_page.h"
#include "present/sounds_page_ids.h"
#include "res/resource_ids.h"
#include "tests/win/dialog_driver.h"
#include "tests/win/pump.h"
#include "tests/win/stand_in_main.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";
const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

// The file-open dialog's file name field (a combo box with an edit) and its list of filters.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr int kFilterCombo = 0x470;

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

// Pumps for the whole time: for checking that something does not happen.
void PumpFor(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "tellwire_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

void PutLE(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A tenth of a second of 8-bit mono silence at 8000 samples a second.
std::string WaveBytes() {
    const uint32_t samples = 800;
    std::string wave = "RIFF";
    PutLE(&wave, 36 + samples, 4);
    wave += "WAVEfmt ";
    PutLE(&wave, 16, 4);
    PutLE(&wave, 1, 2);     // PCM
    PutLE(&wave, 1, 2);     // one channel
    PutLE(&wave, 8000, 4);  // samples per second
    PutLE(&wave, 8000, 4);  // bytes per second
    PutLE(&wave, 1, 2);     // block size
    PutLE(&wave, 8, 2);     // bits per sample
    wave += "data";
    PutLE(&wave, samples, 4);
    wave.append(samples, static_cast<char>(0x80));
    return wave;
}

FILETIME LongAgo() {
    SYSTEMTIME then{};
    then.wYear = 2001;
    then.wMonth = 1;
    then.wDay = 1;
    FILETIME time{};
    SystemTimeToFileTime(&then, &time);
    return time;
}

bool SetAccessLongAgo(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME old = LongAgo();
    bool ok = SetFileTime(file, nullptr, &old, nullptr) != FALSE;
    CloseHandle(file);
    return ok;
}

// Whether the file was read since SetAccessLongAgo.
bool ReadSince(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    FILETIME old = LongAgo();
    return CompareFileTime(&data.ftLastAccessTime, &old) > 0;
}

// A wave file of the test's own, removed with it; its access time starts in 2001.
struct WaveFile {
    explicit WaveFile(const char* name) : path(TempPath(name)) {
        made = WriteBytes(path, WaveBytes()) && SetAccessLongAgo(path);
    }
    ~WaveFile() { DeleteFileA(path.c_str()); }
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;
    std::string path;
    bool made = false;
};

// Whether this disk records reads in the access time at all.
bool AccessTimesAreKept() {
    WaveFile probe("probe.wav");
    if (!probe.made) return false;
    HANDLE file = CreateFileA(probe.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char header[12];
    DWORD got = 0;
    ReadFile(file, header, sizeof header, &got, nullptr);
    CloseHandle(file);
    return ReadSince(probe.path);
}

#define SKIP_WITHOUT_ACCESS_TIMES()                                                          \
    if (!AccessTimesAreKept()) GTEST_SKIP() << "the disk does not record reads in the access " \
                                               "time, so a played file cannot be told from another"

struct RawValue {
    DWORD type = REG_NONE;
    std::string data;
};

RawValue ReadRaw(const char* name) {
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
        value.data.assign(data, size);
    }
    RegCloseKey(key);
    return value;
}

void PutText(const char* name, const std::string& text) {
    WriteSetting(name, text.c_str(), static_cast<DWORD>(text.size() + 1), REG_SZ);
}

// What the page must show when "snd_f" was never stored, made here without the program's helpers.
std::string ExpectedDefaultPath() {
    char directory[MAX_PATH] = {};
    GetWindowsDirectoryA(directory, sizeof directory);
    std::string path = directory;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + "Media\\ringin.wav";
}

TEST(SoundPlayer, PlaysOnlyAFileThatExists) {
    bool loadedBefore = GetModuleHandleA("winmm.dll") != nullptr;
    std::string missing = TempPath("missing.wav");
    for (const char* path : {static_cast<const char*>(nullptr), "", missing.c_str()}) {
        EXPECT_EQ(SoundPlay::NoFile, PlaySoundFile(path)) << (path != nullptr ? path : "(none)");
    }
    if (!loadedBefore) {
        EXPECT_EQ(nullptr, GetModuleHandleA("winmm.dll")) << "the library is loaded only when there is a file";
    }
    SKIP_WITHOUT_ACCESS_TIMES();
    WaveFile wave("player.wav");
    ASSERT_TRUE(wave.made);
    EXPECT_EQ(SoundPlay::Started, PlaySoundFile(wave.path.c_str()));
    HMODULE library = GetModuleHandleA("winmm.dll");
    EXPECT_NE(nullptr, library) << "played through winmm.dll";
    EXPECT_TRUE(WaitUntil([&] { return ReadSince(wave.path); }, 3000)) << "the player never read the file";
    // For the record: whether the sound could also be heard here.
    using DeviceCount = UINT(WINAPI*)();
    auto devices = reinterpret_cast<DeviceCount>(
        reinterpret_cast<void*>(library != nullptr ? GetProcAddress(library, "waveOutGetNumDevs") : nullptr));
    if (devices != nullptr) RecordProperty("wave_output_devices", static_cast<int>(devices()));

    // A second sound cuts off the first; both calls return at once.
    WaveFile second("second.wav");
    ASSERT_TRUE(second.made);
    DWORD start = GetTickCount();
    EXPECT_EQ(SoundPlay::Started, PlaySoundFile(wave.path.c_str()));
    EXPECT_EQ(SoundPlay::Started, PlaySoundFile(second.path.c_str()));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(WaitUntil([&] { return ReadSince(second.path); }, 3000));
}

class SoundsPage : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = CreateShownStandIn();
        ASSERT_NE(nullptr, parent_);
        g_win.mainWindow = parent_;
    }
    void TearDown() override {
        if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
        DestroyWindow(parent_);
        Pump();
        g_win.mainWindow = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
    // The page as the main window makes it: created hidden, its start handled, then shown.
    void Open() {
        page_ = CreateSoundsPage(parent_);
        ASSERT_NE(nullptr, page_);
        Pump();
        ShowWindow(page_, SW_SHOW);
        Pump();
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    bool Checked() const { return IsDlgButtonChecked(page_, IDC_SOUND_ENABLED) == BST_CHECKED; }
    bool Changed() const { return GetPropA(page_, "ch") != nullptr; }
    std::string Path() const {
        char text[400] = {};
        GetDlgItemTextA(page_, IDC_SOUND_FILE, text, sizeof text);
        return text;
    }
    void SetPath(const std::string& path) {
        SetDlgItemTextA(page_, IDC_SOUND_FILE, path.c_str());  // what typing into the field reports
        Pump();
    }
    void Click(int id) {
        SendDlgItemMessageA(page_, id, BM_CLICK, 0, 0);
        Pump();
    }
    void Save() {
        SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
        Pump();
    }
    void ExpectFileControls(bool enabled, int line) {
        for (int id : {IDC_SOUND_FILE, IDC_SOUND_BROWSE, IDC_SOUND_TEST}) {
            EXPECT_EQ(enabled, Enabled(id)) << "control " << id << ", line " << line;
        }
        EXPECT_TRUE(Enabled(IDC_SOUND_ENABLED)) << "line " << line;
    }

    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

TEST_F(SoundsPage, FreshInstallationShowsTheDefaultPathAndStoresNothing) {
    Open();
    EXPECT_FALSE(Checked());
    EXPECT_EQ(ExpectedDefaultPath(), Path());
    ExpectFileControls(false, __LINE__);
    EXPECT_FALSE(Changed()) << "filling the page is no change";
    Save();
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), ReadRaw("snd_f").type);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), ReadRaw("snd_e").type);
}

TEST_F(SoundsPage, CheckingTheBoxEnablesTheFileAndStoresOnSave) {
    Open();
    Click(IDC_SOUND_ENABLED);
    EXPECT_TRUE(Checked());
    ExpectFileControls(true, __LINE__);
    EXPECT_TRUE(Changed());
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), ReadRaw("snd_e").type) << "nothing stored before the save";
    Save();
    EXPECT_FALSE(Changed());
    EXPECT_EQ(1u, ReadSettingDword("snd_e", 7));
    RawValue path = ReadRaw("snd_f");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
    EXPECT_EQ(ExpectedDefaultPath() + '\0', path.data) << "the default path, once the user changed something";

    Click(IDC_SOUND_ENABLED);
    ExpectFileControls(false, __LINE__);
    Save();
    EXPECT_EQ(0u, ReadSettingDword("snd_e", 7));
}

TEST_F(SoundsPage, StoredValuesAreShown) {
    struct Case {
        const char* what;
        std::function<void()> store;
        bool checked;
        std::string shown;
    };
    const std::string longPath = "C:\\" + std::string(300, 'a') + ".wav";
    const Case cases[] = {
        {"stored", [] { WriteSettingDword("snd_e", 1); PutText("snd_f", "C:\\Sounds\\bell.wav"); }, true,
         "C:\\Sounds\\bell.wav"},
        {"empty path", [] { WriteSettingDword("snd_e", 2); PutText("snd_f", ""); }, true, ""},
        {"path of another type", [] { WriteSettingDword("snd_f", 5); }, false, ExpectedDefaultPath()},
        {"path longer than a path", [&] { PutText("snd_f", longPath); }, false, ExpectedDefaultPath()},
        {"switch of another type", [] { PutText("snd_e", "1"); }, false, ExpectedDefaultPath()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.store();
        Open();
        EXPECT_EQ(c.checked, Checked());
        EXPECT_EQ(c.shown, Path());
        ExpectFileControls(c.checked, __LINE__);
        EXPECT_FALSE(Changed());
        DestroyWindow(page_);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }
}

TEST_F(SoundsPage, ChangedPathIsStoredOnSave) {
    WriteSettingDword("snd_e", 1);
    Open();
    SetPath("D:\\Ring\\old phone.wav");
    EXPECT_TRUE(Changed());
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), ReadRaw("snd_f").type);
    Save();
    RawValue path = ReadRaw("snd_f");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
    EXPECT_EQ(std::string("D:\\Ring\\old phone.wav") + '\0', path.data);
    EXPECT_EQ(1u, ReadSettingDword("snd_e", 7));

    // The user can type no more than a stored path can hold, and no more is stored.
    EXPECT_EQ(259, SendDlgItemMessageA(page_, IDC_SOUND_FILE, EM_GETLIMITTEXT, 0, 0));
    SetPath("C:\\" + std::string(400, 'b'));
    Save();
    RawValue stored = ReadRaw("snd_f");
    EXPECT_EQ(260u, stored.data.size());
    EXPECT_EQ(("C:\\" + std::string(256, 'b')) + '\0', stored.data);
}

TEST_F(SoundsPage, HiddenOrDestroyedPageStoresNothing) {
    Open();
    ShowWindow(page_, SW_HIDE);
    SetPath("C:\\hidden.wav");
    EXPECT_FALSE(Changed());
    ShowWindow(page_, SW_SHOW);
    SetPath("C:\\lost.wav");
    ASSERT_TRUE(Changed());
    DestroyWindow(page_);
    Pump();
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), ReadRaw("snd_f").type);
}

TEST_F(SoundsPage, RingPlaysThePathShownEvenUnsaved) {
    SKIP_WITHOUT_ACCESS_TIMES();
    WaveFile wave("ring.wav");
    ASSERT_TRUE(wave.made);
    WriteSettingDword("snd_e", 1);
    Open();
    SetPath(wave.path);
    PlayRingSound();
    EXPECT_TRUE(WaitUntil([&] { return ReadSince(wave.path); }, 3000)) << "the ring did not play " << wave.path;

    ASSERT_TRUE(SetAccessLongAgo(wave.path));
    Click(IDC_SOUND_TEST);
    EXPECT_TRUE(WaitUntil([&] { return ReadSince(wave.path); }, 3000)) << "Test did not play " << wave.path;
}

TEST_F(SoundsPage, UncheckedBoxPlaysNothing) {
    SKIP_WITHOUT_ACCESS_TIMES();
    WaveFile wave("silent.wav");
    ASSERT_TRUE(wave.made);
    WriteSettingDword("snd_e", 0);
    PutText("snd_f", wave.path);
    Open();
    ASSERT_EQ(wave.path, Path());
    PlayRingSound();
    SendMessageA(page_, WM_COMMAND, IDC_SOUND_TEST, 0);  // the disabled button's command, should it come
    PumpFor(1500);
    EXPECT_FALSE(ReadSince(wave.path));

    // Checked with a file that is not there: silence, and the page goes on.
    Click(IDC_SOUND_ENABLED);
    SetPath(TempPath("gone.wav"));
    PlayRingSound();
    PumpFor(300);
    EXPECT_TRUE(IsWindow(page_));
}

TEST_F(SoundsPage, CancelledBrowseLeavesThePath) {
    WriteSettingDword("snd_e", 1);
    PutText("snd_f", "C:\\Sounds\\bell.wav");
    Open();
    std::vector<std::string> filters;
    int selectedFilter = -2;
    std::string fileName = "?";
    ASSERT_TRUE(WithDialog([&] { Click(IDC_SOUND_BROWSE); },
                           [&](HWND dialog) {
                               HWND types = GetDlgItem(dialog, kFilterCombo);
                               int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
                               for (int i = 0; i < count; ++i) {
                                   char text[128] = {};
                                   SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                                   filters.push_back(text);
                               }
                               selectedFilter = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
                               char name[MAX_PATH] = "?";
                               HWND field = GetDlgItem(dialog, kFileNameCombo);
                               if (field == nullptr) field = GetDlgItem(dialog, kFileNameEdit);
                               GetWindowTextA(field, name, sizeof name);
                               fileName = name;
                               PressButton(dialog, IDCANCEL);
                           }))
        << "no file dialog showed up";
    EXPECT_EQ("C:\\Sounds\\bell.wav", Path());
    EXPECT_FALSE(Changed());
    EXPECT_EQ((std::vector<std::string>{"WAV Files (*.wav)", "All Files (*.*)"}), filters);
    EXPECT_EQ(0, selectedFilter);
    EXPECT_EQ("", fileName) << "the file name starts empty";
}

TEST_F(SoundsPage, BrowsedFileTakesItsPlace) {
    WaveFile wave("browsed.wav");
    ASSERT_TRUE(wave.made);
    WriteSettingDword("snd_e", 1);
    Open();
    ASSERT_TRUE(WithDialog([&] { Click(IDC_SOUND_BROWSE); },
                           [&](HWND dialog) {
                               HWND field = GetDlgItem(dialog, kFileNameCombo);
                               if (field == nullptr) field = GetDlgItem(dialog, kFileNameEdit);
                               SetWindowTextA(field, wave.path.c_str());
                               PressButton(dialog, IDOK);
                           }))
        << "no file dialog showed up";
    EXPECT_EQ(0, lstrcmpiA(wave.path.c_str(), Path().c_str())) << Path();
    EXPECT_TRUE(Changed());
}

// The whole road inside the program: a ring reaches the main window, which has the page play.
TEST_F(SoundsPage, MainWindowRingPlaysTheSound) {
    SKIP_WITHOUT_ACCESS_TIMES();
    WaveFile wave("main.wav");
    ASSERT_TRUE(wave.made);
    WriteSettingDword("snd_e", 1);
    PutText("snd_f", wave.path);
    HWND mainWindow = CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    ASSERT_NE(nullptr, mainWindow);
    Pump();
    ASSERT_TRUE(SetAccessLongAgo(wave.path));
    SendMessageA(mainWindow, WM_COMMAND, CMD_RING, 0);
    EXPECT_TRUE(WaitUntil([&] { return ReadSince(wave.path); }, 3000)) << "the ring did not play " << wave.path;
    DestroyWindow(mainWindow);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
}

}  // namespace
