#include "ui/column_width.h"

#include <climits>
#include <cstdint>

int ListColumnWidth(int clientWidth, int scrollBarWidth, int percent) {
    // 64-bit so that no width or percent a caller can pass overflows before the division.
    int64_t usable = static_cast<int64_t>(clientWidth) - scrollBarWidth - 2;
    int64_t width = usable * percent / 100;
    if (width <= 0) return 0;
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}
