// The host list as the program holds it: the hosts in the order the Network page shows them, each
// with its time stamp and mark as the page shows them. The page edits it; the network agent renews
// the hosts that reply and asks for the ones that receive calls. "Now" is always an argument.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "net/host_list.h"

struct HostListRow {
    std::string host;       // at most kHostTextSize - 1 bytes
    std::string timestamp;  // at most kTimestampSize - 1 bytes; kept as it stands, readable or not
    bool permanent;
};

struct HostListModel {
    std::vector<HostListRow> rows;
};

// Appends the entries of the stored text ("hosts"), in their order; the text is split in place.
// An entry without a time stamp is a host typed into the value by hand: it counts as entered now.
void LoadStoredHosts(HostListModel* model, char* stored, const DateTime& now);
// The stored form of the rows, in list order, into block (see AppendStoredHost for what is left
// out and where the text stops). Returns its length; the text always ends inside the block.
size_t StoredHostsText(const HostListModel& model, char* block, size_t size);

// The page's order: permanent rows first, then the rest, each newest first (CompareHostOrder);
// rows that compare equal keep their order. Returns where each row went: result[old row] is its
// new row.
std::vector<size_t> SortHostList(HostListModel* model);

// A row for the user to fill: the first one without host, time stamp or mark, or else a new
// empty one at the end. Returns its row.
size_t AddEmptyHostRow(HostListModel* model);
// What the editor's Change writes: the host with every blank removed, the mark, and now as its
// time stamp. False for a row that is not there.
bool ChangeHostRow(HostListModel* model, size_t row, const char* typed, bool permanent, const DateTime& now);
// Removes the listed rows (any order; repeats and rows that are not there are ignored). Returns
// how many went.
size_t DeleteHostRows(HostListModel* model, std::vector<size_t> rows);

// The sender of a "Client" reply: the first row naming it (compared without regard to case) has
// its time stamp renewed and keeps its place and mark; without one, a row for it is appended.
// False, nothing changed, without a sender.
bool RenewDiscoveredHost(HostListModel* model, const char* sender, const DateTime& now);
// The hosts that receive calls now (IsTargetHost), in list order, as a multi-string in block:
// each host ends with a NUL, an empty text ends the list (see AppendTargetHost for the limits).
void ListTargetHosts(const HostListModel& model, const DateTime& now, char* block, size_t size);
