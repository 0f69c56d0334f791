// The seam for case-insensitive comparison. On Windows it is CompareStringA with the system
// locale (so that "é" matches "E" as users expect); the native build of the core, used by the
// unit tests, compares ASCII letters without case.
#pragma once

// Compares aLength bytes of a with bLength bytes of b; result below, at or above 0.
int CompareTextNoCase(const char* a, int aLength, const char* b, int bLength);
