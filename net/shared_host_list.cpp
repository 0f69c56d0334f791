#include "net/shared_host_list.h"

#include <atomic>

#include "base/messages.h"

HostListModel g_hostList;

namespace {
std::mutex s_hostListLock;
std::atomic<HWND> s_view{nullptr};  // written by the page's thread, read by the agent's
}  // namespace

std::unique_lock<std::mutex> LockHostList() { return std::unique_lock<std::mutex>(s_hostListLock); }

void SetHostListView(HWND page) { s_view = page; }

DateTime LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void AddDiscoveredHost(const char* sender) {
    bool changed = WithHostList([&](HostListModel* list) { return RenewDiscoveredHost(list, sender, LocalNow()); });
    // Posted, never sent: the agent does not wait for the page's thread, which may be busy or
    // gone meanwhile (a post to a window that is no more fails, and nothing is lost).
    HWND view = s_view;
    if (changed && view != nullptr) PostMessageA(view, WM_COMMAND, CMD_REFRESH, 0);
}

void GetTargetHosts(char* block, size_t size) {
    WithHostList([&](HostListModel* list) { ListTargetHosts(*list, LocalNow(), block, size); });
}
