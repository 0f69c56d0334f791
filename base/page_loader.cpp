#include "base/page_loader.h"

#include "base/thread_wait.h"

namespace {
constexpr char kLoaderProperty[] = "th";
}  // namespace

void KeepPageLoader(HWND page, HANDLE loader) { SetPropA(page, kLoaderProperty, loader); }

bool PageLoaderRunning(HWND page) {
    HANDLE loader = GetPropA(page, kLoaderProperty);
    return loader != nullptr && WaitForSingleObject(loader, 1) == WAIT_TIMEOUT;
}

bool EndPageLoader(HWND page, DWORD ms) {
    HANDLE loader = RemovePropA(page, kLoaderProperty);
    if (loader == nullptr) return true;
    bool ended = WaitForThreadHandlingSends(loader, ms);
    CloseHandle(loader);
    return ended;
}
