#include "present/block_list_format.h"

#include <cstring>

#include "base/call_record.h"
#include "base/text_utils.h"

void NormalizeBlockNumber(const char* typed, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return;
    out[0] = '\0';
    if (typed == nullptr) return;
    size_t length = 0;
    char last = '\0';  // the last character that is not a blank
    for (const char* at = typed; *at != '\0'; ++at) {
        if (!IsBlank(*at)) last = *at;
        // Room for the NUL, and for a "*" that may still come.
        if (IsDigit(*at) && length + 2 < outSize) out[length++] = *at;
    }
    if (last == '*' && length + 1 < outSize) out[length++] = '*';
    out[length] = '\0';
}

bool BlockEntryMatches(const char* entry, const char* number) {
    if (entry == nullptr || number == nullptr || entry[0] == '\0' || IsNumberWithheld(number)) return false;
    size_t length = strlen(entry);
    if (entry[length - 1] != '*') return TailMatch(number, entry);
    size_t digits = length - 1;
    return digits > 0 && strncmp(number, entry, digits) == 0;
}

bool NextBlockLine(BookCursor* cursor, BlockLine* entry) {
    if (entry == nullptr || !NextBookLine(cursor, &entry->line)) return false;
    // Without a colon the line's text is all of it: the number alone.
    NormalizeBlockNumber(entry->line.text, entry->number, sizeof entry->number);
    entry->note = entry->line.hasColon ? entry->line.text + entry->line.nameAt : "";
    return true;
}
