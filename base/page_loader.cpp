#include "base/page_loader.h"

#include "base/thread_wait.h"

namespace {
constexpr char kLoaderProperty[] = "th";
}  // namespace

void KeepPageLoader(HWND page, OwnedHandle loader) {
    if (SetPropA(page, kLoaderProperty, loader.get())) loader.release();
}

bool PageLoaderRunning(HWND page) {
    HANDLE loader = GetPropA(page, kLoaderProperty);
    return loader != nullptr && WaitForSingleObject(loader, 1) == WAIT_TIMEOUT;
}

bool EndPageLoader(HWND page, DWORD ms) {
    OwnedHandle loader(RemovePropA(page, kLoaderProperty));
    if (!loader) return true;
    return WaitForThreadHandlingSends(loader.get(), ms);
}
