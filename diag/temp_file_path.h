// Where the crash handler writes its temporary files (the dump, the report).
#pragma once
#include <cstddef>

// The temporary directory, a backslash unless it ends with one, then "tlwire." and the
// extension. Returns false, with out empty, when the whole name does not fit.
bool MakeTempPath(const char* directory, const char* extension, char* out, size_t outSize);
