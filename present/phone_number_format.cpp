#include "present/phone_number_format.h"

#include <windows.h>

#include <mutex>

#include "base/call_record.h"
#include "base/data_file_path.h"
#include "base/file_write_warning.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "present/number_format.h"
#include "res/resource_ids.h"

namespace {

// A file that cannot be written (a read-only folder, a name taken by a folder) leaves numbers to
// the built-in defaults meanwhile. Trying it again for every number would cost some fifteen
// profile calls under the lock for each row of a caller log load, so it is tried again only
// after this long: the user may have put it right by then.
constexpr uint32_t kFileRetryMs = 60000;

std::mutex s_cacheLock;  // port monitors, the network agent and the caller log format at once
char* s_cache = nullptr;  // the section as read from the file; kept for the whole run
// The defaults in the file's form, built when the file first failed and unchanged after that.
char s_defaults[kNumberFormatCacheSize];
bool s_fileFailed = false;
uint32_t s_lastFileTry = 0;  // tick count of the last failed try

// True when the file has the section with at least one line in it.
bool ReadSection(const char* path, char* cache) {
    ZeroMemory(cache, kNumberFormatCacheSize);
    return GetPrivateProfileSectionA(kNumberFormatSection, cache, kNumberFormatCacheSize - 2, path) >= 2 &&
           cache[0] != '\0';
}

void WriteDefaults(const char* path) {
    char section[kNumberFormatCacheSize];
    if (BuildDefaultNumberSection(section, sizeof section) > 0) {
        if (!WritePrivateProfileSectionA(kNumberFormatSection, section, path)) WarnFileNotWritten(path, GetLastError());
    }
}

// The section from the file, with the defaults written to it first when it has none; nullptr
// when it still has none.
char* LoadSection(const char* path) {
    char* cache = static_cast<char*>(LocalAlloc(LPTR, kNumberFormatCacheSize));
    if (cache == nullptr) return nullptr;
    if (ReadSection(path, cache)) return cache;
    WriteDefaults(path);
    if (ReadSection(path, cache)) return cache;
    LocalFree(cache);
    return nullptr;
}

const char* Section(uint32_t now) {
    std::lock_guard<std::mutex> hold(s_cacheLock);
    if (s_cache != nullptr) return s_cache;
    if (s_fileFailed && TicksSince(s_lastFileTry, now) < kFileRetryMs) return s_defaults;
    char path[MAX_PATH];
    ResolveDataFilePath(nullptr, "cfg", path);
    if (path[0] == '\0') return nullptr;  // the next call tries again
    s_cache = LoadSection(path);
    if (s_cache != nullptr) return s_cache;
    if (!s_fileFailed && BuildDefaultNumberSection(s_defaults, sizeof s_defaults) == 0) return nullptr;
    s_fileFailed = true;
    s_lastFileTry = now;
    return s_defaults;
}

}  // namespace

void FormatPhoneNumber(char* number, size_t capacity) {
    bool none = lstrcmpA(number, kNoCallerIdNumber) == 0;
    if ((IsNumberWithheld(number) || none) && capacity > 0) {
        UINT words = none ? IDS_NO_CALLER_ID : number[0] == 'P' ? IDS_NUMBER_PRIVATE : IDS_NUMBER_OUT_OF_AREA;
        LoadStringA(g_win.instance, words, number, static_cast<int>(capacity));
        return;
    }
    FormatPhoneNumber(number, capacity, GetTickCount());
}

void FormatPhoneNumber(char* number, size_t capacity, uint32_t now) {
    const char* section = Section(now);
    if (section != nullptr) FormatNumberBySection(section, kNumberFormatCacheSize, number, capacity);
}
