#include "present/block_list_lookup.h"

BlockListModel g_blockList;

namespace {
std::shared_mutex s_blockListLock;
}  // namespace

std::unique_lock<std::shared_mutex> LockBlockListForChange() {
    return std::unique_lock<std::shared_mutex>(s_blockListLock);
}

bool IsNumberBlocked(const char* number) {
    std::shared_lock<std::shared_mutex> hold(s_blockListLock);
    return BlockListBlocks(g_blockList, number);
}
