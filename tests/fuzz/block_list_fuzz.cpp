// The block list file as the loader reads it (in a block of exactly its size), each entry saved as
// the page does (reading back as the same entry), and what each entry then blocks.
#include "present/block_list_format.h"
#include "present/block_list_model.h"
#include "tests/fuzz/fuzz_check.h"

static BlockListModel Read(const char* text, size_t size) {
    BlockListModel model;
    BookCursor cursor{text, size, 0};
    std::vector<BlockLine> entry(1);  // a heap block of exactly one line
    for (size_t before = 0; NextBlockLine(&cursor, &entry[0]); before = cursor.at) {
        FUZZ_CHECK(cursor.at > before && cursor.at <= size);
        const char* number = entry[0].number;
        size_t length = strnlen(number, kBlockNumberSize);
        FUZZ_CHECK(length < kBlockNumberSize);
        FUZZ_CHECK(std::string(number).find_first_not_of("0123456789") >= (length > 0 && number[length - 1] == '*' ? length - 1 : length));
        const char* line = entry[0].line.text;
        FUZZ_CHECK(entry[0].line.hasColon ? entry[0].note > line && entry[0].note < line + kBookLineSize
                                          : entry[0].note[0] == '\0');
        if (number[0] != '\0') AddBlockEntry(&model, number, entry[0].note);
    }
    FUZZ_CHECK(cursor.at == size);
    return model;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> file(data, data + size);
    BlockListModel model = Read(file.data(), file.size());
    for (size_t row = 0; row < model.entries.size(); ++row) {
        const BlockEntry& entry = model.entries[row];
        char out[kBlockLineSize];
        size_t length = BlockListFileLine(model, row, out, sizeof out);
        FUZZ_CHECK(length > 0 && length == strlen(out));
        BlockListModel again = Read(out, length);
        FUZZ_CHECK(again.entries.size() == 1 && again.entries[0].number == entry.number &&
                   again.entries[0].note == entry.note);
        // An entry blocks the numbers it names: its own digits, by the tail rule or as a prefix.
        std::string digits = entry.number.substr(0, entry.number.find('*'));
        bool prefix = digits.size() < entry.number.size();
        if (prefix ? !digits.empty() : digits.size() >= kShortestTailMatch) {
            FUZZ_CHECK(BlockListBlocks(model, (digits + (prefix ? "99" : "")).c_str()));
        }
    }
    // What a caller's number may be: any text, matched against every entry without harm.
    std::vector<char> number = TextOf(data, size < 32 ? size : 32);
    BlockListBlocks(model, number.data());
    return 0;
}
