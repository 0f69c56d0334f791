#include "base/data_files.h"

#include "base/error_text.h"
#include "base/file_write_warning.h"
#include "base/program_path.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"

void GetProgramFilePath(const char* extension, char* buffer, DWORD size) {
    char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        if (size > 0) buffer[0] = '\0';
        return;
    }
    program[length] = '\0';
    ReplaceExtension(program, extension, buffer, size);
}

DataFileState StateAfterFailedRead(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        // There, but no block: either empty (nothing to lose) or unreadable.
        return data.nFileSizeLow == 0 && data.nFileSizeHigh == 0 ? DataFileState::Missing
                                                                 : DataFileState::Unreadable;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DataFileState::Missing
                                                                          : DataFileState::Unreadable;
}

bool AppendTextToFile(const char* path, const char* text) {
    OwnedHandle file(
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD length = static_cast<DWORD>(lstrlenA(text));
    DWORD written = 0;
    if (file) SetFilePointer(file.get(), 0, nullptr, FILE_END);
    if (file && WriteFile(file.get(), text, length, &written, nullptr) && written == length) return true;
    WarnFileNotWritten(path, GetLastError());
    return false;
}

namespace {

// A rewrite gathers its lines into blocks of this size and writes a block at a time.
constexpr size_t kWriteBlockSize = 64 * 1024;

bool WriteAll(HANDLE file, const char* data, size_t length) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

bool WriteRows(HANDLE file, size_t rows, size_t lineSize, DataFileLine line) {
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, kWriteBlockSize));
    if (block == nullptr) return false;
    size_t used = 0;
    bool written = true;
    for (size_t row = 0; row < rows && written; ++row) {
        if (used + lineSize > kWriteBlockSize) {
            written = WriteAll(file, block, used);
            used = 0;
        }
        used += line(row, block + used, lineSize);
    }
    if (written && used > 0) written = WriteAll(file, block, used);
    LocalFree(block);
    return written;
}

}  // namespace

bool RewriteDataFile(const char* path, const char* what, size_t rows, size_t lineSize, DataFileLine line) {
    char temporary[MAX_PATH + 8];
    CopyText(temporary, sizeof temporary, path);
    AppendText(temporary, sizeof temporary, ".new");
    OwnedHandle file(CreateFileA(temporary, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    bool written = file && WriteRows(file.get(), rows, lineSize, line) && FlushFileBuffers(file.get());
    DWORD error = written ? 0 : GetLastError();
    file.reset();  // closed first: an open file cannot take the old one's place
    if (written && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (error == 0) error = GetLastError();
    DeleteFileA(temporary);  // the old file stays as it was
    char reason[256];
    LogPrintf("Could not save %s: %s", what, ErrorText(error, reason, sizeof reason));
    WarnFileNotWritten(path, error);
    return false;
}
