#include "present/popup_layout.h"

#include <algorithm>
#include <cstdint>

#include "base/text_utils.h"

namespace {

int32_t ClampExtent(int32_t value) { return std::clamp(value, 0, kPopupMaxExtent); }

// Screen coordinates plus an offset stay inside what a 32-bit coordinate can hold, whatever
// nonsense the cursor or the window reported.
int32_t ClampCoordinate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

PopupLayout ComputePopupLayout(const PopupMeasure& measure) {
    int32_t width = ClampExtent(measure.textWidth);
    int32_t height = ClampExtent(measure.textHeight);
    PopupLayout layout{};
    // Two lines of the usual font are higher than 32 pixels: the large icon then fills the
    // space beside them; a single line gets the small one.
    layout.largeIcon = height > kPopupLargeIconSize;
    layout.iconSize = layout.largeIcon ? kPopupLargeIconSize : kPopupSmallIconSize;
    layout.iconShown = layout.largeIcon ? measure.haveLargeIcon : measure.haveSmallIcon;
    if (layout.iconShown && height < kPopupSmallIconSize) height = kPopupSmallIconSize;
    if (width < kPopupMinTextWidth) width = kPopupMinTextWidth;
    layout.width = width + 2 * kPopupMargin;
    if (layout.iconShown) layout.width += layout.iconSize + kPopupIconGap;
    layout.height = height + 2 * kPopupMargin;
    if (layout.height < layout.iconSize) layout.height = layout.iconSize;
    return layout;
}

PopupRect PopupTextRect(const PopupLayout& layout, const PopupRect& client) {
    PopupRect text = client;
    text.left += kPopupMargin;
    text.top += kPopupMargin;
    if (layout.iconShown) text.left += layout.iconSize + kPopupIconGap;
    return text;
}

PopupRect ChoosePopupWorkArea(const PopupRect* workArea, int32_t screenWidth, int32_t screenHeight) {
    if (workArea != nullptr) return *workArea;
    return PopupRect{0, 0, screenWidth, screenHeight};
}

PopupRect PopupCornerRect(const PopupLayout& layout, const PopupRect& workArea) {
    int32_t right = ClampCoordinate(static_cast<int64_t>(workArea.right) - kPopupCornerGap);
    int32_t bottom = ClampCoordinate(static_cast<int64_t>(workArea.bottom) - kPopupCornerGap);
    return PopupRect{ClampCoordinate(static_cast<int64_t>(right) - layout.width),
                     ClampCoordinate(static_cast<int64_t>(bottom) - layout.height), right, bottom};
}

bool PopupTickCloses(uint32_t ticks, uint32_t lifetimeTicks, uint32_t popupsEnabled) {
    return ticks >= lifetimeTicks || popupsEnabled < 1;
}

PopupRect DragPopupRect(const PopupDrag& drag, int32_t cursorX, int32_t cursorY) {
    int64_t dx = static_cast<int64_t>(cursorX) - drag.cursorX;
    int64_t dy = static_cast<int64_t>(cursorY) - drag.cursorY;
    int64_t width = static_cast<int64_t>(drag.window.right) - drag.window.left;
    int64_t height = static_cast<int64_t>(drag.window.bottom) - drag.window.top;
    int32_t left = ClampCoordinate(drag.window.left + dx);
    int32_t top = ClampCoordinate(drag.window.top + dy);
    return PopupRect{left, top, ClampCoordinate(left + width), ClampCoordinate(top + height)};
}

size_t JoinPopupLines(char* out, size_t outSize, const char* first, const char* second) {
    if (out == nullptr || outSize == 0) return 0;
    CopyText(out, outSize, first);
    AppendText(out, outSize, "\r\n");
    return AppendText(out, outSize, second);
}
