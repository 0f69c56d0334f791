// The host list the whole program shares: one model, which the Network page loads, shows, edits
// and saves, and which the network agent renews and reads from its own thread. Every thread, the
// page's included, changes and reads it only while it holds the list's lock: the agent may append
// a row while the page draws one.
#pragma once
#include <windows.h>

#include <cstddef>
#include <mutex>

#include "net/host_list_model.h"

extern HostListModel g_hostList;
std::unique_lock<std::mutex> LockHostList();

// Calls change with the list while holding its lock; returns what change returns.
template <typename Change>
auto WithHostList(Change change) {
    auto hold = LockHostList();
    return change(&g_hostList);
}

// The page that shows the list, told of every change the agent makes (WM_COMMAND CMD_REFRESH,
// posted); nullptr while there is none. The page sets it when it is made and when it goes.
void SetHostListView(HWND page);

// The local time, as the list's time stamps are written.
DateTime LocalNow();

// The agent's two operations; any thread, neither waits for the page. The sender of a "Client"
// reply renews or appends its row (RenewDiscoveredHost).
void AddDiscoveredHost(const char* sender);
// The hosts that receive calls now, in list order: the multi-string of ListTargetHosts, in a
// block of size bytes (kHostBlockSize, as the list has always been listed in).
void GetTargetHosts(char* block, size_t size);
