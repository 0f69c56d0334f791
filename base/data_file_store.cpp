#include "base/data_file_store.h"

#include <memory>
#include <new>
#include <utility>

#include "base/data_file_path.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/read_whole_file.h"
#include "base/thread_wait.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"

namespace {

constexpr char kChangedProperty[] = "ch";
constexpr char kLoaderProperty[] = "th";  // the loader thread's handle, owned by the page
constexpr DWORD kLoaderWaitMs = 60000;

// The loader posts its batches a few ahead, so the page's thread goes from one to the next
// without waiting for the loader to be scheduled in between; one message per row would keep a
// log of a hundred thousand calls loading for minutes. The loader ends only once the page has
// taken every batch, so while it runs the model is never taken for the whole file.
constexpr LONG kBatchesAhead = 4;
constexpr DWORD kBatchWaitStepMs = 50;

struct Batch {
    HANDLE places;  // the loader's semaphore of batches ahead: released when the page is done
    void* rows;
};

struct LoaderStart {
    DataFileStore* store;
    HWND page;
};

void LogCouldNotLoad(const DataFileStore& store, DWORD error) {
    char reason[256];
    LogPrintf("Could not load %s: %s", store.kind->what, ErrorText(error, reason, sizeof reason));
}

// Waits for one of the places ahead; false when the page is going (its batches are never taken).
bool TakePlace(const DataFileStore& store, HANDLE places, HWND page) {
    for (;;) {
        DWORD waited = WaitForSingleObject(places, kBatchWaitStepMs);
        if (waited == WAIT_OBJECT_0) return true;
        if (waited != WAIT_TIMEOUT || store.closing || !IsWindow(page)) return false;
    }
}

// True when every row of the text went into the page's model.
bool PostBatches(DataFileStore* store, HWND page, const char* text, size_t size) {
    OwnedHandle places(CreateSemaphoreA(nullptr, kBatchesAhead, kBatchesAhead, nullptr));
    if (!places) {
        LogCouldNotLoad(*store, GetLastError());
        return false;
    }
    const DataFileKind& kind = *store->kind;
    size_t at = 0;
    bool going = true;
    bool whole = true;
    for (bool last = false; going && !last;) {
        if (g_state.stop != 0) {  // the rest is not shown: the program ends
            whole = false;
            break;
        }
        going = TakePlace(*store, places.get(), page);
        if (!going) break;
        void* rows = kind.readBatch(text, size, &at, &last);
        auto* batch = rows != nullptr ? new (std::nothrow) Batch{places.get(), rows} : nullptr;
        if (batch == nullptr) {  // the model keeps what it has
            LogCouldNotLoad(*store, ERROR_NOT_ENOUGH_MEMORY);
            if (rows != nullptr) kind.freeBatch(rows);
            ReleaseSemaphore(places.get(), 1, nullptr);
            whole = false;
            break;
        }
        if (!PostMessageA(page, MSG_DATA_FILE_ROWS, 0, reinterpret_cast<LPARAM>(batch))) {
            kind.freeBatch(rows);
            delete batch;
            going = false;
        }
    }
    // Every batch in the model before the loader ends.
    for (LONG i = 0; going && i < kBatchesAhead; ++i) going = TakePlace(*store, places.get(), page);
    // A page that went without taking its batches leaves the semaphore to them.
    if (!going) places.release();
    return whole && going;
}

DWORD WINAPI DataFileLoader(void* parameter) {
    std::unique_ptr<LoaderStart> start(static_cast<LoaderStart*>(parameter));
    DataFileStore* store = start->store;
    HWND page = start->page;
    // A program that ends meanwhile does not sit out the delay.
    if (!SleepUnlessStopping(store->kind->loaderDelayMs)) return 1;
    char path[MAX_PATH];
    GetDataFileStorePath(*store, path);
    DWORD size = 0;
    char* text = nullptr;
    {
        DataFileLock hold(store);
        text = ReadWholeFile(path, &size);
        store->loaderHasRead = true;
    }
    DataFileState state = DataFileState::Loaded;
    bool whole = false;
    if (text == nullptr) {
        state = StateAfterFailedRead(path);
        whole = state == DataFileState::Missing;
    } else {
        whole = PostBatches(store, page, text, size);
        LocalFree(text);
    }
    if (store->page != page) return 1;  // a page gone meanwhile; its successor has its own loader
    store->state = state;
    store->loadWhole = whole;
    PostMessageA(page, WM_COMMAND, CMD_REFRESH, 0);
    return 1;
}

// True while the loader still fills the model: it must then not replace the file.
bool LoaderRunning(HWND page) {
    HANDLE loader = GetPropA(page, kLoaderProperty);
    return loader != nullptr && WaitForSingleObject(loader, 1) == WAIT_TIMEOUT;
}

}  // namespace

DataFileLock::DataFileLock(DataFileStore* store) : store_(store) {
    while (!store_->fileLock.try_lock()) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(1);
    }
}

DataFileLock::~DataFileLock() { store_->fileLock.unlock(); }

void GetDataFileStorePath(const DataFileStore& store, char* buffer) {
    ResolveDataFilePath(store.kind->setting, store.kind->extension, buffer);
}

void OpenDataFileStore(DataFileStore* store, HWND page) {
    {
        std::lock_guard<std::mutex> hold(store->fileLock);
        store->loaderHasRead = false;
    }
    store->page = page;
    store->state = DataFileState::Missing;
    store->loadWhole = false;
    store->closing = false;
    store->refusalLogged = false;
    auto* start = new (std::nothrow) LoaderStart{store, page};
    OwnedHandle loader(start != nullptr ? CreateThread(nullptr, 0, DataFileLoader, start, 0, nullptr) : nullptr);
    if (loader && SetPropA(page, kLoaderProperty, loader.get())) {
        loader.release();  // the page's property owns it from here on
        return;
    }
    if (!loader) {
        LogCouldNotLoad(*store, start != nullptr ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY);
        delete start;
    }
    // Without its loader the model never holds the file, so it never replaces it either; what
    // is appended goes straight into the model.
    std::lock_guard<std::mutex> hold(store->fileLock);
    store->loaderHasRead = true;
}

void TakeDataFileBatch(DataFileStore* store, HWND page, LPARAM lParam) {
    auto* batch = reinterpret_cast<Batch*>(lParam);
    store->kind->takeBatch(page, batch->rows);
    HANDLE places = batch->places;
    delete batch;
    ReleaseSemaphore(places, 1, nullptr);
}

void MarkDataFileChanged(HWND page) { SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(7)); }

bool IsDataFileChanged(HWND page) { return GetPropA(page, kChangedProperty) != nullptr; }

bool SaveDataFile(DataFileStore* store, HWND page) {
    if (page == nullptr) return false;
    const DataFileKind& kind = *store->kind;
    char path[MAX_PATH];
    GetDataFileStorePath(*store, path);
    if (path[0] == '\0') return false;
    DataFileLock hold(store);
    DataFileState state = store->state;
    bool whole = store->loadWhole;
    switch (ChooseDataFileSave(state, whole, kind.rowCount())) {
    case DataFileSave::Keep:
        if (state == DataFileState::Unreadable) {
            if (!store->refusalLogged.exchange(true)) {
                LogPrintf("Could not save %s: %s could not be read at start and is left as it is", kind.what, path);
            }
            return false;
        }
        if (!whole) return false;  // tried again once the loader is done
        // An emptied model and a file it never knew (not there at start, a share not yet
        // reachable then): nothing of the model's to write or delete.
        break;
    case DataFileSave::Delete:
        if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            char reason[256];
            LogPrintf("Could not delete %s: %s", kind.what, ErrorText(kLastError, reason, sizeof reason));
            return false;
        }
        break;
    case DataFileSave::Rewrite:
        if (!RewriteDataFile(path, kind.what, kind.rowCount(), kind.lineSize, kind.line)) return false;
        store->state = DataFileState::Loaded;  // the file now holds the model
        break;
    }
    RemovePropA(page, kChangedProperty);
    return true;
}

void SaveDataFileIfChanged(DataFileStore* store, HWND page) {
    if (IsDataFileChanged(page) && !LoaderRunning(page)) SaveDataFile(store, page);
}

void CloseDataFileStore(DataFileStore* store, HWND page) {
    store->closing = true;  // batches still queued are never taken: the loader must not wait for them
    OwnedHandle loader(RemovePropA(page, kLoaderProperty));
    bool loaderEnded = !loader || WaitForThreadHandlingSends(loader.get(), kLoaderWaitMs);
    MSG queued;
    while (PeekMessageA(&queued, page, MSG_DATA_FILE_ROWS, MSG_DATA_FILE_ROWS, PM_REMOVE)) {
        // A quit message comes whatever the filter: it is the program's end, posted again.
        if (queued.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(queued.wParam));
            break;
        }
        auto* batch = reinterpret_cast<Batch*>(queued.lParam);
        store->kind->freeBatch(batch->rows);
        delete batch;
    }
    // A model the loader is still filling lacks part of the file: it must not replace it.
    if (loaderEnded && IsDataFileChanged(page)) SaveDataFile(store, page);
    RemovePropA(page, kChangedProperty);
    store->page = nullptr;
}
