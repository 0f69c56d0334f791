#include "base/read_whole_file.h"

#include "base/error_text.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"

namespace {
// The callers keep the text in list controls; past this a file is not ours (or not a text).
constexpr DWORD kLargestFile = 0x40000000;
}  // namespace

char* ReadWholeFile(const char* path, DWORD* size) {
    if (size != nullptr) *size = 0;
    if (path == nullptr) return nullptr;
    OwnedHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        char reason[256];
        LogPrintf("%s: %s", path, ErrorText(kLastError, reason, sizeof reason));
        return nullptr;
    }
    DWORD high = 0;
    DWORD length = GetFileSize(file.get(), &high);
    char* block = nullptr;
    if (length != INVALID_FILE_SIZE && high == 0 && length <= kLargestFile) {
        if (size != nullptr) *size = length;
        if (length > 0) block = static_cast<char*>(LocalAlloc(LMEM_FIXED, length + 4));
    }
    if (block != nullptr) {
        DWORD got = 0;
        if (ReadFile(file.get(), block, length, &got, nullptr)) {
            block[got] = '\0';
        } else {
            char reason[256];
            LogPrintf("%s: %s", path, ErrorText(kLastError, reason, sizeof reason));
            LocalFree(block);
            block = nullptr;
        }
    }
    return block;
}
