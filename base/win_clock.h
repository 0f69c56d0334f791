// Elapsed time on the system's tick counter; the arithmetic itself is in text_utils.h.
#pragma once
#include <windows.h>

#include "base/text_utils.h"

inline uint32_t TicksSince(uint32_t start) { return TicksSince(start, GetTickCount()); }
