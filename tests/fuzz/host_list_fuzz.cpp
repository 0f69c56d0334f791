// The stored host list as the page loads, sorts and saves it: what it saved loads and saves the same,
// inside its block. The input read as one time stamp, too.
#include "net/host_list_model.h"
#include "tests/fuzz/fuzz_check.h"

static std::string Saved(HostListModel model) {
    SortHostList(&model);
    std::vector<char> block(kHostBlockSize, 'x');
    size_t used = StoredHostsText(model, block.data(), block.size());
    FUZZ_CHECK(used < block.size() && block[used] == '\0');
    return block.data();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DateTime now{2007, 1, 6, 12, 30, 0};
    std::vector<char> stored = TextOf(data, size);
    TimestampAge(FixedText(stored.data(), kTimestampSize).data(), now);
    HostListModel model;
    LoadStoredHosts(&model, stored.data(), now);
    std::string saved = Saved(model), copy = saved;
    HostListModel again;
    LoadStoredHosts(&again, &copy[0], now);
    FUZZ_CHECK(Saved(again) == saved);
    ListTargetHosts(model, now, &std::string(kHostBlockSize, 'x')[0], kHostBlockSize);
    return 0;
}
