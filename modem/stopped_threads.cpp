#include "modem/stopped_threads.h"

void MarkThreadStopped(StoppedThreads* table, uint32_t id, uint64_t created) {
    for (int i = kStoppedThreadSlots - 1; i > 0; --i) table->slots[i] = table->slots[i - 1];
    table->slots[0] = StoppedThread{id, created};
}

bool IsThreadStopped(const StoppedThreads* table, uint32_t id, uint64_t created) {
    if (id == 0) return false;
    for (const StoppedThread& slot : table->slots) {
        if (slot.id == id && slot.created == created) return true;
    }
    return false;
}
