// The crash handler's list of the temporary files it made: a multi-string (texts one behind the
// other, each with its NUL, and one more NUL at the end) in one heap block. The block itself is
// allocated by the caller; these functions only measure, fill and read it.
#pragma once
#include <cstddef>

// Size of the zero-filled block that holds the list with text behind it: the old length, the
// text's length and 4 bytes more (the text's NUL, the closing NUL, and room to spare).
size_t AppendMultiStringSize(const char* list, const char* text);
// Copies the old list and the text into block (zero-filled, of blockSize bytes). Returns false,
// leaving the block empty, when it is too small.
bool AppendMultiStringInto(char* block, size_t blockSize, const char* list, const char* text);
// The index-th text (from 0), or nullptr when the list has fewer.
const char* MultiStringAt(const char* list, size_t index);
// The first text whose extension (what follows its last ".") is this one, without regard to
// case; nullptr when there is none.
const char* FindPathWithExtension(const char* list, const char* extension);

// The temporary directory, a backslash unless it ends with one, then "tlwire." and the
// extension. Returns false, with out empty, when the whole name does not fit.
bool MakeTempPath(const char* directory, const char* extension, char* out, size_t outSize);
// Whether the path begins with the (non-empty) directory, compared without regard to case.
bool PathInDirectory(const char* path, const char* directory);
