// The block list that decides which calls are hung up on: one model for the whole program. The
// Blocked Numbers page fills it, edits it and is its only writer; the port monitors ask it from
// their own threads, and the Caller Log page from the user-interface thread.
#pragma once
#include <mutex>
#include <shared_mutex>

#include "present/block_list_model.h"

// The writer changes g_blockList only while it holds the lock exclusively (LockBlockListForChange)
// and may read it without the lock; every other reader goes through IsNumberBlocked. The writer
// must not ask IsNumberBlocked (nor draw what asks it) while it holds the lock.
extern BlockListModel g_blockList;
std::unique_lock<std::shared_mutex> LockBlockListForChange();

// True when the block list blocks a call from number (BlockListBlocks). Any thread may call it.
bool IsNumberBlocked(const char* number);
