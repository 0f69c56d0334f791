// The block list as the program holds it: the entries in the order the user sees them, each a
// number or prefix (see block_list_format.h) with an optional note, and the two check boxes that
// block every withheld ("P") and every out-of-area ("O") call. The Blocked Numbers page shows the
// model and is its only writer; the port monitors ask it from their threads under its lock.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct BlockEntry {
    std::string number;  // normalised: digits, and the "*" of a prefix
    std::string note;
};

struct BlockListModel {
    std::vector<BlockEntry> entries;
    bool withheld = false;   // "Block withheld numbers (P)"
    bool outOfArea = false;  // "Block out-of-area numbers (O)"
};

// The columns of the page.
enum BlockListColumn { kBlockNumberColumn = 0, kBlockNoteColumn = 1 };

// Appends an entry: the number normalised (NormalizeBlockNumber), the note's blanks collapsed.
void AddBlockEntry(BlockListModel* model, const char* number, const char* note);
// An entry for the user to fill: the first one with neither number nor note, or else a new empty
// one at the end. Returns its row.
size_t AddEmptyBlockEntry(BlockListModel* model);
// What the editors type into a row. True when the row's text changed; a row that is not there
// changes nothing.
bool SetBlockNumber(BlockListModel* model, size_t row, const char* typed);
bool SetBlockNote(BlockListModel* model, size_t row, const char* typed);
// Removes the listed rows (any order; repeats and rows that are not there are ignored). Returns
// how many went.
size_t DeleteBlockEntries(BlockListModel* model, std::vector<size_t> rows);

// The first entry, from the top, that blocks number; -1 when none does (the check boxes aside).
int FindBlockEntry(const BlockListModel& model, const char* number);
// True when a call from number is blocked: withheld ("P") and out-of-area ("O") calls by their
// check box, every other number by the entries. An empty number, and a call without caller ID
// ("-"), are never blocked.
bool BlockListBlocks(const BlockListModel& model, const char* number);

// Whether "Block this number" can block a call's number: not when the list blocks it already,
// nor when it is one no entry could match (fewer digits than the tail rule needs, other
// characters than digits, no caller ID).
bool CanBlockCallNumber(const BlockListModel& model, const char* number);
// What "Block this number" does with such a number: ticks the check box of a withheld or
// out-of-area call, or appends an entry of the number with the note. False, and the model as it
// was, for a number CanBlockCallNumber refuses.
bool BlockCallNumber(BlockListModel* model, const char* number, const char* note);

// The row's line of the file into out (kBlockLineSize bytes); returns its length. 0 for an entry
// without a number: it blocks nothing and is not kept.
size_t BlockListFileLine(const BlockListModel& model, size_t row, char* out, size_t outSize);
