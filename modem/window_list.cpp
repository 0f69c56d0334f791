#include "modem/window_list.h"

#include <cstring>

namespace {

// Collects whole texts behind one another with a separator between them, up to a bound; the
// first text that does not fit closes the output for good, so the order of the texts is kept.
struct ListWriter {
    char* out;
    size_t limit;  // characters of texts and separators
    char separator;
    size_t used;
    size_t texts;
    bool full;
};

ListWriter MakeWriter(char* out, size_t size, size_t terminators, char separator) {
    size_t room = size > terminators ? size - terminators : 0;
    return ListWriter{out, room < kWindowListMaxChars ? room : kWindowListMaxChars, separator, 0, 0, false};
}

void Put(ListWriter* writer, const char* text, size_t length) {
    if (length == 0 || writer->full) return;
    size_t separator = writer->texts > 0 ? 1 : 0;
    if (writer->used + separator + length > writer->limit) {
        writer->full = true;
        return;
    }
    if (separator != 0) writer->out[writer->used++] = writer->separator;
    std::memcpy(writer->out + writer->used, text, length);
    writer->used += length;
    ++writer->texts;
}

// Ends the output with count NULs, as far as the buffer of size bytes has room.
void Close(ListWriter* writer, size_t size, size_t count) {
    for (size_t i = 0; i < count && writer->used + i < size; ++i) writer->out[writer->used + i] = '\0';
}

// Feeds the texts of a list (NUL-separated, ended by an empty text or by size) to the writer.
void PutList(ListWriter* writer, const char* list, size_t size) {
    if (list == nullptr) return;
    size_t at = 0;
    while (at < size && list[at] != '\0') {
        size_t length = strnlen(list + at, size - at);
        Put(writer, list + at, length);
        at += length + 1;
    }
}

}  // namespace

const char* NextWindowText(const char* text) { return text + std::strlen(text) + 1; }

size_t WindowListFromStored(const char* stored, size_t storedSize, char* list, size_t listSize) {
    if (list == nullptr || listSize == 0) return 0;
    ListWriter writer = MakeWriter(list, listSize, 2, '\0');
    if (stored != nullptr) {
        size_t end = strnlen(stored, storedSize);
        size_t start = 0;
        for (size_t at = 0; at <= end; ++at) {
            if (at == end || stored[at] == '\t') {
                Put(&writer, stored + start, at - start);
                start = at + 1;
            }
        }
    }
    Close(&writer, listSize, 2);
    return writer.texts;
}

size_t WindowListToStored(const char* list, size_t listSize, char* stored, size_t storedSize) {
    if (stored == nullptr || storedSize == 0) return 0;
    ListWriter writer = MakeWriter(stored, storedSize, 1, '\t');
    PutList(&writer, list, listSize);
    Close(&writer, storedSize, 1);
    return writer.used;
}

size_t CopyWindowList(char* dst, size_t dstSize, const char* src, size_t srcSize) {
    if (dst == nullptr || dstSize == 0) return 0;
    ListWriter writer = MakeWriter(dst, dstSize, 2, '\0');
    PutList(&writer, src, srcSize);
    Close(&writer, dstSize, 2);
    return writer.texts;
}
