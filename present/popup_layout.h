// The arithmetic of a popup, apart from the windows that show it: its size from the measured text
// and the icon rules, its place in the bottom-right corner of the work area, the tick that closes
// it, where a drag takes it, and the two-line text built from string resources. The Win32 side
// measures, reads the system's values and moves windows; what it decides comes from here.
#pragma once
#include <cstddef>
#include <cstdint>

// Rectangles in pixels, right and bottom exclusive, as the system gives them.
struct PopupRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline constexpr int32_t kPopupLargeIconSize = 32;
inline constexpr int32_t kPopupSmallIconSize = 16;
inline constexpr int32_t kPopupMargin = 4;          // text and icon stand this far inside the edges
inline constexpr int32_t kPopupIconGap = 2;         // between the icon and the text
inline constexpr int32_t kPopupMinTextWidth = 50;   // a short name still gives a window one can grab
inline constexpr int32_t kPopupCornerGap = 2;       // from the work area's bottom-right corner
// A measurement beyond this is nonsense (a broken font record); clamped so no sum can overflow.
inline constexpr int32_t kPopupMaxExtent = 1 << 20;

// Popup texts are formatted into this many bytes (the system's formatter stops at 1024
// characters) and read back from the window with the same limit.
inline constexpr size_t kPopupTextSize = 2048;
// Two string resources joined with a line break must fit this many bytes, NUL included.
inline constexpr size_t kPopupJoinedSize = 256;
inline constexpr uint32_t kPopupTickMs = 1000;

// What the Win32 side measured: the text as drawn in the popup font, and which icons exist.
struct PopupMeasure {
    int32_t textWidth;   // of the widest line
    int32_t textHeight;  // of all lines together
    bool haveLargeIcon;  // the 32-pixel icon was loaded
    bool haveSmallIcon;  // the 16-pixel icon was loaded
};

struct PopupLayout {
    int32_t iconSize;  // 32 when the text is higher than the large icon, otherwise 16
    bool largeIcon;    // the icon of that size is the large one
    bool iconShown;    // that icon exists: it is drawn at (4, 4) and the text moves right of it
    int32_t width;     // of the whole window, which has no border of its own
    int32_t height;
};

// The window's size: the text plus a 4-pixel margin on each side and, with an icon, the icon and
// a 2-pixel gap; at least 50 pixels of text width, at least one icon's height.
PopupLayout ComputePopupLayout(const PopupMeasure& measure);

// Where the text goes inside the client area: 4 pixels in from the left and top, and right of
// the icon when there is one.
PopupRect PopupTextRect(const PopupLayout& layout, const PopupRect& client);

// The area popups are placed in: the work area when the system gave one, otherwise the whole
// primary screen.
PopupRect ChoosePopupWorkArea(const PopupRect* workArea, int32_t screenWidth, int32_t screenHeight);

// Every popup takes the same place, its bottom-right corner 2 pixels inside the work area's;
// popups open at once lie on top of one another, the newest on top, so the latest call is the
// one the user sees and closing it uncovers the one before.
PopupRect PopupCornerRect(const PopupLayout& layout, const PopupRect& workArea);

// One timer tick: ticks is the count including this tick. A popup closes at the first tick that
// reaches its lifetime (so a lifetime of 0 still shows it for one tick), and at once when popups
// have been switched off meanwhile. Both settings are read at every tick, so a change applies to
// popups already open.
bool PopupTickCloses(uint32_t ticks, uint32_t lifetimeTicks, uint32_t popupsEnabled);

// The drag state a popup keeps while a mouse button drags it: where the cursor and the window
// were when the drag began, in screen coordinates.
struct PopupDrag {
    int32_t cursorX;
    int32_t cursorY;
    PopupRect window;
};
static_assert(sizeof(PopupDrag) == 24, "the drag block is six 32-bit coordinates");

// The window moved by the cursor's offset from where the drag began, its size unchanged.
PopupRect DragPopupRect(const PopupDrag& drag, int32_t cursorX, int32_t cursorY);

// first, CR LF, second, cut to outSize - 1 bytes and always terminated: the result is the start
// of the whole join, so a first line that fills the buffer leaves no room for the second.
// Missing texts count as empty. Returns the length written.
size_t JoinPopupLines(char* out, size_t outSize, const char* first, const char* second);
