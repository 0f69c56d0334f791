#include "present/block_list_model.h"

#include <algorithm>
#include <cstring>

#include "base/call_record.h"
#include "base/erase_rows.h"
#include "base/text_utils.h"
#include "present/block_list_format.h"

namespace {

bool SetCell(std::string* cell, const char* text) {
    if (*cell == text) return false;
    *cell = text;
    return true;
}

std::string CollapsedNote(const char* typed) {
    char note[kBlockNoteSize];
    CopyText(note, sizeof note, typed);
    CollapseBlanks(note);
    return note;
}

}  // namespace

void AddBlockEntry(BlockListModel* model, const char* number, const char* note) {
    char normalized[kBlockNumberSize];
    NormalizeBlockNumber(number, normalized, sizeof normalized);
    model->entries.push_back({normalized, CollapsedNote(note)});
}

size_t AddEmptyBlockEntry(BlockListModel* model) {
    std::vector<BlockEntry>& entries = model->entries;
    for (size_t row = 0; row < entries.size(); ++row) {
        if (entries[row].number.empty() && entries[row].note.empty()) return row;
    }
    entries.push_back({});
    return entries.size() - 1;
}

bool SetBlockNumber(BlockListModel* model, size_t row, const char* typed) {
    if (row >= model->entries.size()) return false;
    char normalized[kBlockNumberSize];
    NormalizeBlockNumber(typed, normalized, sizeof normalized);
    return SetCell(&model->entries[row].number, normalized);
}

bool SetBlockNote(BlockListModel* model, size_t row, const char* typed) {
    if (row >= model->entries.size()) return false;
    return SetCell(&model->entries[row].note, CollapsedNote(typed).c_str());
}

size_t DeleteBlockEntries(BlockListModel* model, std::vector<size_t> rows) {
    return EraseListedRows(&model->entries, std::move(rows));
}

int FindBlockEntry(const BlockListModel& model, const char* number) {
    for (size_t row = 0; row < model.entries.size(); ++row) {
        if (BlockEntryMatches(model.entries[row].number.c_str(), number)) return static_cast<int>(row);
    }
    return -1;
}

bool BlockListBlocks(const BlockListModel& model, const char* number) {
    if (number == nullptr || number[0] == '\0') return false;
    if (IsNumberWithheld(number)) return number[0] == 'P' ? model.withheld : model.outOfArea;
    return FindBlockEntry(model, number) >= 0;
}

bool CanBlockCallNumber(const BlockListModel& model, const char* number) {
    if (number == nullptr || number[0] == '\0' || BlockListBlocks(model, number)) return false;
    if (IsNumberWithheld(number)) return true;
    // An entry of the number must block it: the tail rule wants five characters, all digits here.
    char normalized[kBlockNumberSize];
    NormalizeBlockNumber(number, normalized, sizeof normalized);
    return strlen(normalized) >= kShortestTailMatch && BlockEntryMatches(normalized, number);
}

bool BlockCallNumber(BlockListModel* model, const char* number, const char* note) {
    if (!CanBlockCallNumber(*model, number)) return false;
    if (IsNumberWithheld(number)) {
        (number[0] == 'P' ? model->withheld : model->outOfArea) = true;
        return true;
    }
    AddBlockEntry(model, number, note);
    return true;
}

size_t BlockListFileLine(const BlockListModel& model, size_t row, char* out, size_t outSize) {
    if (out != nullptr && outSize > 0) out[0] = '\0';
    if (row >= model.entries.size() || model.entries[row].number.empty()) return 0;
    char note[kBlockNoteSize];
    CopyText(note, sizeof note, model.entries[row].note.c_str());
    // "number:note\r\n", the phone book's line, or 0 (out empty) when it does not fit.
    return FormatBookLine(model.entries[row].number.c_str(), note, out, outSize);
}
