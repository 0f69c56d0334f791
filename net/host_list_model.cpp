#include "net/host_list_model.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "base/compare_text.h"
#include "base/erase_rows.h"
#include "base/text_utils.h"

namespace {

// A cell holds what the list control's cell gave back when it was the list: the first size - 1
// bytes of the text.
std::string Cell(const char* text, size_t size) {
    if (text == nullptr) return std::string();
    return std::string(text, strnlen(text, size - 1));
}

std::string Stamp(const DateTime& now) {
    char stamp[kTimestampSize];
    return FormatTimestamp(now, stamp, sizeof stamp);
}

bool SameHost(const std::string& a, const std::string& b) {
    return CompareTextNoCase(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) == 0;
}

}  // namespace

void LoadStoredHosts(HostListModel* model, char* stored, const DateTime& now) {
    std::string loadedAt = Stamp(now);
    char* cursor = stored;
    StoredHost entry{};
    while (NextStoredHost(&cursor, &entry)) {
        std::string stamp = entry.timestamp != nullptr ? Cell(entry.timestamp, kTimestampSize) : loadedAt;
        model->rows.push_back({Cell(entry.host, kHostTextSize), std::move(stamp), entry.permanent});
    }
}

size_t StoredHostsText(const HostListModel& model, char* block, size_t size) {
    if (block == nullptr || size == 0) return 0;
    block[0] = '\0';
    HostTextWriter writer{block, size, 0};
    for (size_t row = 0; row < model.rows.size() && writer.used <= kHostBlockFill; ++row) {
        const HostListRow& host = model.rows[row];
        AppendStoredHost(&writer, host.host.c_str(), host.timestamp.c_str(), host.permanent);
    }
    return writer.used;
}

std::vector<size_t> SortHostList(HostListModel* model) {
    std::vector<HostListRow>& rows = model->rows;
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return CompareHostOrder(rows[a].permanent, rows[a].timestamp.c_str(), rows[b].permanent,
                                rows[b].timestamp.c_str()) < 0;
    });
    std::vector<HostListRow> sorted;
    std::vector<size_t> moved(rows.size());
    for (size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(rows[order[row]]));
        moved[order[row]] = row;
    }
    rows = std::move(sorted);
    return moved;
}

size_t AddEmptyHostRow(HostListModel* model) {
    std::vector<HostListRow>& rows = model->rows;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].host.empty() && rows[row].timestamp.empty() && !rows[row].permanent) return row;
    }
    rows.push_back({});
    return rows.size() - 1;
}

bool ChangeHostRow(HostListModel* model, size_t row, const char* typed, bool permanent, const DateTime& now) {
    if (row >= model->rows.size()) return false;
    std::string host = Cell(typed, kHostTextSize);
    StripBlanks(&host[0]);
    model->rows[row] = {host.c_str(), Stamp(now), permanent};
    return true;
}

size_t DeleteHostRows(HostListModel* model, std::vector<size_t> rows) {
    return EraseListedRows(&model->rows, std::move(rows));
}

bool RenewDiscoveredHost(HostListModel* model, const char* sender, const DateTime& now) {
    if (sender == nullptr || sender[0] == '\0') return false;
    std::string host = Cell(sender, kHostTextSize);
    for (HostListRow& row : model->rows) {
        if (SameHost(row.host, host)) {
            row.timestamp = Stamp(now);
            return true;
        }
    }
    // Appended, not sorted in: the list moves only when the user changes it.
    model->rows.push_back({std::move(host), Stamp(now), false});
    return true;
}

void ListTargetHosts(const HostListModel& model, const DateTime& now, char* block, size_t size) {
    if (block == nullptr || size == 0) return;
    memset(block, 0, size);
    HostTextWriter writer{block, size, 0};
    for (size_t row = 0; row < model.rows.size() && writer.used <= kHostBlockFill; ++row) {
        const HostListRow& host = model.rows[row];
        if (IsTargetHost(host.host.c_str(), host.timestamp.c_str(), host.permanent, now)) {
            AppendTargetHost(&writer, host.host.c_str());
        }
    }
}
