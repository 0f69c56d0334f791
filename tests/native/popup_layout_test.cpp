#include "present/popup_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr PopupRect kWorkArea{0, 0, 1280, 994};  // a 1280x1024 screen with a 30-pixel taskbar

TEST(PopupLayout, SizeFromTextAndIcons) {
    struct Case {
        const char* what;
        PopupMeasure measure;
        int32_t iconSize;
        bool largeIcon;
        bool iconShown;
        int32_t width;
        int32_t height;
    };
    const Case cases[] = {
        // A short line: text width raised to 50, small icon, text height raised to 16.
        {"short line", {20, 13, true, true}, 16, false, true, 76, 24},
        {"empty text", {0, 0, true, true}, 16, false, true, 76, 24},
        {"one line of 16", {120, 16, true, true}, 16, false, true, 146, 24},
        {"exactly 32 high keeps the small icon", {120, 32, true, true}, 16, false, true, 146, 40},
        {"two lines take the large icon", {120, 33, true, true}, 32, true, true, 162, 41},
        {"three lines", {200, 48, true, true}, 32, true, true, 242, 56},
        {"width 50 is already wide enough", {50, 20, true, true}, 16, false, true, 76, 28},
        // No icon loaded: no room for it, and h is not raised to 16, but H is at least s.
        {"no small icon", {20, 5, true, false}, 16, false, false, 58, 16},
        {"no small icon, taller text", {20, 13, true, false}, 16, false, false, 58, 21},
        {"no large icon", {120, 33, false, true}, 32, true, false, 128, 41},
        {"no icons at all", {0, 0, false, false}, 16, false, false, 58, 16},
        // A broken measurement gives a sane window instead of an overflow.
        {"negative extents", {-5, -7, true, true}, 16, false, true, 76, 24},
        {"huge extents are clamped", {INT32_MAX, INT32_MAX, true, true}, 32, true, true,
         kPopupMaxExtent + 8 + 34, kPopupMaxExtent + 8},
    };
    for (const Case& c : cases) {
        PopupLayout layout = ComputePopupLayout(c.measure);
        EXPECT_EQ(c.iconSize, layout.iconSize) << c.what;
        EXPECT_EQ(c.largeIcon, layout.largeIcon) << c.what;
        EXPECT_EQ(c.iconShown, layout.iconShown) << c.what;
        EXPECT_EQ(c.width, layout.width) << c.what;
        EXPECT_EQ(c.height, layout.height) << c.what;
    }
}

TEST(PopupLayout, TextStandsBesideTheIcon) {
    struct Case {
        const char* what;
        PopupMeasure measure;
        PopupRect expected;
    };
    const Case cases[] = {
        {"small icon", {20, 13, true, true}, {22, 4, 76, 24}},
        {"large icon", {120, 33, true, true}, {38, 4, 162, 41}},
        {"no icon", {20, 13, false, false}, {4, 4, 58, 21}},
    };
    for (const Case& c : cases) {
        PopupLayout layout = ComputePopupLayout(c.measure);
        PopupRect text = PopupTextRect(layout, PopupRect{0, 0, layout.width, layout.height});
        EXPECT_EQ(c.expected.left, text.left) << c.what;
        EXPECT_EQ(c.expected.top, text.top) << c.what;
        EXPECT_EQ(c.expected.right, text.right) << c.what;
        EXPECT_EQ(c.expected.bottom, text.bottom) << c.what;
        // The text gets at least the width it was measured with.
        EXPECT_GE(text.right - text.left, c.measure.textWidth) << c.what;
    }
}

TEST(PopupLayout, PlacedInTheWorkAreasCorner) {
    struct Case {
        const char* what;
        PopupLayout layout;
        PopupRect workArea;
        PopupRect expected;
    };
    const Case cases[] = {
        {"taskbar at the bottom", {16, false, true, 76, 24}, kWorkArea, {1202, 968, 1278, 992}},
        {"taskbar on the right", {32, true, true, 162, 41}, {0, 0, 1200, 1024}, {1036, 981, 1198, 1022}},
        {"work area off the origin", {16, false, true, 76, 24}, {100, 50, 900, 650}, {822, 624, 898, 648}},
        {"a window larger than the screen runs off its top left", {16, false, true, 900, 700}, {0, 0, 800, 600},
         {-102, -102, 798, 598}},
        {"extreme coordinates are clamped", {16, false, true, 76, 24}, {0, 0, INT32_MIN + 1, INT32_MIN + 1},
         {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}},
    };
    for (const Case& c : cases) {
        PopupRect at = PopupCornerRect(c.layout, c.workArea);
        EXPECT_EQ(c.expected.left, at.left) << c.what;
        EXPECT_EQ(c.expected.top, at.top) << c.what;
        EXPECT_EQ(c.expected.right, at.right) << c.what;
        EXPECT_EQ(c.expected.bottom, at.bottom) << c.what;
    }
}

TEST(PopupLayout, TwoPopupsTakeTheSamePlace) {
    PopupLayout layout = ComputePopupLayout(PopupMeasure{90, 30, true, true});
    PopupRect first = PopupCornerRect(layout, kWorkArea);
    PopupRect second = PopupCornerRect(layout, kWorkArea);
    EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first));
}

TEST(PopupLayout, WorkAreaOrScreen) {
    PopupRect area{0, 30, 1280, 1024};
    PopupRect chosen = ChoosePopupWorkArea(&area, 1920, 1080);
    EXPECT_EQ(30, chosen.top);
    EXPECT_EQ(1280, chosen.right);
    PopupRect screen = ChoosePopupWorkArea(nullptr, 1920, 1080);
    EXPECT_EQ(0, screen.left);
    EXPECT_EQ(0, screen.top);
    EXPECT_EQ(1920, screen.right);
    EXPECT_EQ(1080, screen.bottom);
}

TEST(PopupLayout, TickThatCloses) {
    struct Case {
        uint32_t ticks;
        uint32_t lifetime;
        uint32_t enabled;
        bool closes;
    };
    const Case cases[] = {
        {1, 30, 1, false}, {29, 30, 1, false}, {30, 30, 1, true},     // 30 s: after the 30th tick
        {1, 1, 1, true},   {1, 0, 1, true},                            // 0 or 1: after the first
        {1, 30, 0, true},  {5, 30, 0, true},                           // switched off: next tick
        {1, 30, 7, false},                                             // any value from 1 is "on"
        {0xFFFFFFFEu, 0xFFFFFFFFu, 1, false}, {0xFFFFFFFFu, 0xFFFFFFFFu, 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.closes, PopupTickCloses(c.ticks, c.lifetime, c.enabled))
            << "tick " << c.ticks << " lifetime " << c.lifetime << " enabled " << c.enabled;
    }
}

TEST(PopupLayout, LifetimeInTicks) {
    // Counting as a popup does from its first tick: how many ticks it lives.
    struct Case {
        uint32_t lifetime;
        uint32_t ticksOpen;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {2, 2}, {30, 30}};
    for (const Case& c : cases) {
        uint32_t ticks = 0;
        while (!PopupTickCloses(++ticks, c.lifetime, 1)) {
        }
        EXPECT_EQ(c.ticksOpen, ticks) << "lifetime " << c.lifetime;
    }
}

TEST(PopupLayout, DragMovesByTheCursorsOffset) {
    struct Case {
        const char* what;
        PopupDrag drag;
        int32_t cursorX;
        int32_t cursorY;
        PopupRect expected;
    };
    const Case cases[] = {
        {"no move", {500, 400, {1202, 968, 1278, 992}}, 500, 400, {1202, 968, 1278, 992}},
        {"up and left", {1220, 980, {1202, 968, 1278, 992}}, 1120, 930, {1102, 918, 1178, 942}},
        {"down and right, off the screen", {10, 10, {0, 0, 76, 24}}, 2000, 1500, {1990, 1490, 2066, 1514}},
        {"onto a monitor left of the primary", {100, 100, {50, 60, 212, 101}}, -300, 90, {-350, 50, -188, 91}},
        {"clamped at the coordinate limit", {0, 0, {INT32_MAX - 10, 0, INT32_MAX, 10}}, 100, 0,
         {INT32_MAX, 0, INT32_MAX, 10}},
    };
    for (const Case& c : cases) {
        PopupRect to = DragPopupRect(c.drag, c.cursorX, c.cursorY);
        EXPECT_EQ(c.expected.left, to.left) << c.what;
        EXPECT_EQ(c.expected.top, to.top) << c.what;
        EXPECT_EQ(c.expected.right, to.right) << c.what;
        EXPECT_EQ(c.expected.bottom, to.bottom) << c.what;
    }
}

TEST(PopupLayout, JoinedLinesNeverOverflow) {
    const std::string long255(255, 'a');
    const std::string long300(300, 'b');
    const std::string long254(254, 'c');
    struct Case {
        const char* what;
        const char* first;
        const char* second;
        std::string expected;
    };
    const Case cases[] = {
        {"two lines", "Error", "More than one server is not allowed!", "Error\r\nMore than one server is not allowed!"},
        {"missing first", nullptr, "Second", "\r\nSecond"},
        {"missing second", "First", nullptr, "First\r\n"},
        {"both missing", nullptr, nullptr, "\r\n"},
        {"second cut", "First", long300.c_str(), "First\r\n" + long300.substr(0, 255 - 7)},
        {"first fills the buffer", long255.c_str(), "Second", long255},
        {"first too long", long300.c_str(), long300.c_str(), long300.substr(0, 255)},
        {"line break cut in half", long254.c_str(), "x", long254 + "\r"},
    };
    for (const Case& c : cases) {
        char out[kPopupJoinedSize + 8];
        std::memset(out, '#', sizeof out);
        size_t length = JoinPopupLines(out, kPopupJoinedSize, c.first, c.second);
        EXPECT_EQ(c.expected, std::string(out)) << c.what;
        EXPECT_EQ(c.expected.size(), length) << c.what;
        for (size_t i = kPopupJoinedSize; i < sizeof out; ++i) EXPECT_EQ('#', out[i]) << c.what << " byte " << i;
    }
    EXPECT_EQ(0u, JoinPopupLines(nullptr, 10, "a", "b"));
    char one[1] = {'#'};
    EXPECT_EQ(0u, JoinPopupLines(one, sizeof one, "a", "b"));
    EXPECT_EQ('\0', one[0]);
}

}  // namespace
