// A user's data file (the caller log, the phone book) and the page whose model holds it. The one
// loader reads the file into the model off the user-interface thread, a batch of rows at a time;
// the one save decides by ChooseDataFileSave whether the model may take the file's place, then
// rewrites or deletes the file and says in the program log why it did not.
//
// The page calls OpenDataFileStore at creation, TakeDataFileBatch for every MSG_DATA_FILE_ROWS,
// MarkDataFileChanged after an edit the file lacks, SaveDataFileIfChanged on CMD_PAGE_SAVE and
// CloseDataFileStore when it is destroyed.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <mutex>

#include "base/data_file_rule.h"
#include "base/data_files.h"
#include "base/settings_table.h"

// Posted by the loader to the page; lParam: the batch, for TakeDataFileBatch.
inline constexpr UINT MSG_DATA_FILE_ROWS = WM_APP + 1;

// One kind of data file, and how its page's model reads and writes it.
struct DataFileKind {
    const char* what;            // "log", "phone book": in "Could not save <what>: ..."
    const SettingInfo* setting;  // the stored path; when missing, the program's path with extension
    const char* extension;
    DWORD loaderDelayMs;  // start-up finishes first
    // On the loader thread: the rows of text from *at on, up to a batch of them, as the model
    // keeps them; *last once the text is used up. nullptr when out of memory.
    void* (*readBatch)(const char* text, size_t size, size_t* at, bool* last);
    // On the page's thread: moves the batch's rows to the end of the model and frees the batch.
    void (*takeBatch)(HWND page, void* batch);
    void (*freeBatch)(void* batch);
    // The model as the file's lines: how many rows, and row's line (see RewriteDataFile).
    size_t (*rowCount)();
    DataFileLine line;
    size_t lineSize;
};

struct DataFileStore {
    explicit DataFileStore(const DataFileKind* fileKind) : kind(fileKind) {}
    const DataFileKind* kind;
    std::atomic<HWND> page{nullptr};
    // What the loader found; Loaded as well once the program wrote the file.
    std::atomic<DataFileState> state{DataFileState::Missing};
    // Set by the loader once the whole file (or its absence) is in the model: only then may the
    // model replace the file. A loader cut short, or one that never read, leaves it clear.
    std::atomic<bool> loadWhole{false};
    std::atomic<bool> closing{false};  // the page is going: it takes no more batches
    std::atomic<bool> refusalLogged{false};
    // Keeps the loader's read, appends to the file and rewrites apart (DataFileLock).
    std::mutex fileLock;
    bool loaderHasRead = false;  // under fileLock: a line appended from now on is not in what it read
};

// Holds the store's file lock. The waiting thread goes on carrying out what other threads send
// it: on the user-interface thread the holder may be adding a row to this very page.
class DataFileLock {
public:
    explicit DataFileLock(DataFileStore* store);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

private:
    DataFileStore* store_;
};

// The file's path (MAX_PATH bytes): the stored one, or the program's path with the kind's
// extension, then stored.
void GetDataFileStorePath(const DataFileStore& store, char* buffer);

// At the page's creation: forgets the last page's load and starts the loader.
void OpenDataFileStore(DataFileStore* store, HWND page);
void TakeDataFileBatch(DataFileStore* store, HWND page, LPARAM batch);

// The page's model differs from the file: the next save (CMD_PAGE_SAVE, close) writes it.
void MarkDataFileChanged(HWND page);
bool IsDataFileChanged(HWND page);

// Lets the model take the file's place when ChooseDataFileSave allows it: rewrites the file, or
// deletes a file it loaded once the model is empty. True when the file now holds the model (the
// changed mark is then cleared); false when it was left as it was (refused, or a failed write:
// logged).
bool SaveDataFile(DataFileStore* store, HWND page);
// CMD_PAGE_SAVE: saves a changed model, unless the loader is still filling it.
void SaveDataFileIfChanged(DataFileStore* store, HWND page);
// At the page's end: waits for the loader, frees the batches it left, saves a changed model.
void CloseDataFileStore(DataFileStore* store, HWND page);
