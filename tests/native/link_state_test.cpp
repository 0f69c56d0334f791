#include "ui/link_state.h"

#include <gtest/gtest.h>

namespace {

constexpr LinkId kA = 0x1000;
constexpr LinkId kB = 0x2000;

TEST(LinkLockout, ClicksWithinASecondOfAnAcceptedOneAreIgnored) {
    struct Case {
        uint32_t first;
        uint32_t second;
        bool secondCounts;
    };
    const Case cases[] = {
        {5000, 5000, false},
        {5000, 5500, false},
        {5000, 5999, false},
        {5000, 6000, true},
        {5000, 9000, true},
        {0xFFFFFE00u, 0x00000100u, false},  // 768 ms across the wrap of the tick counter
        {0xFFFFFE00u, 0x000001E8u, true},   // 1000 ms across the wrap
        {0, 999, false},                    // a click at tick 0 still starts a lock-out
    };
    for (const Case& c : cases) {
        LinkLockout lockout{};
        EXPECT_TRUE(TakeLinkClick(&lockout, c.first)) << c.first;
        EXPECT_EQ(c.secondCounts, TakeLinkClick(&lockout, c.second)) << c.first << " then " << c.second;
    }
}

TEST(LinkLockout, AnIgnoredClickDoesNotLengthenTheLockOut) {
    LinkLockout lockout{};
    ASSERT_TRUE(TakeLinkClick(&lockout, 1000));
    EXPECT_FALSE(TakeLinkClick(&lockout, 1900));
    EXPECT_TRUE(TakeLinkClick(&lockout, 2000));
    EXPECT_FALSE(TakeLinkClick(&lockout, 2500));  // the accepted click started a new one
}

TEST(LinkLockout, TheReEnableTimerEndsIt) {
    LinkLockout lockout{};
    ASSERT_TRUE(TakeLinkClick(&lockout, 1000));
    EndLinkLockout(&lockout);  // a timer may come a tick early: the enabled label takes clicks
    EXPECT_TRUE(TakeLinkClick(&lockout, 1990));
}

TEST(HotLink, EnteringALabelMakesItHotAndThePreviousOneIdle) {
    HotLink hot{};
    HotChange change = EnterLinkLabel(&hot, kA);
    EXPECT_EQ(0u, change.repaintFormer);
    EXPECT_EQ(kA, change.repaintLabel);
    EXPECT_EQ(kA, hot.label);

    change = EnterLinkLabel(&hot, kA);  // the mouse moves on inside A: nothing to repaint
    EXPECT_EQ(0u, change.repaintFormer);
    EXPECT_EQ(0u, change.repaintLabel);

    change = EnterLinkLabel(&hot, kB);  // straight from A onto B
    EXPECT_EQ(kA, change.repaintFormer);
    EXPECT_EQ(kB, change.repaintLabel);
    EXPECT_EQ(kB, hot.label);
}

TEST(HotLink, HoverCheck) {
    struct Case {
        LinkId hotBefore;
        LinkId label;
        bool inside;
        bool enabled;
        bool stopTimer;
        LinkId repaint;
        LinkId hotAfter;
    };
    const Case cases[] = {
        {kA, kA, true, true, false, 0, kA},     // still over it
        {kA, kA, false, true, false, kA, 0},    // left it: idle at once, the timer stops next tick
        {kA, kA, true, false, false, kA, 0},    // clicked, so disabled: not hot
        {0, kA, false, true, true, kA, 0},      // the tick after leaving
        {kB, kA, true, true, true, kA, kB},     // another label took over
    };
    for (const Case& c : cases) {
        HotLink hot{c.hotBefore};
        HoverCheck check = CheckLinkHover(&hot, c.label, c.inside, c.enabled);
        EXPECT_EQ(c.stopTimer, check.stopTimer) << c.hotBefore << " " << c.inside << c.enabled;
        EXPECT_EQ(c.repaint, check.repaint) << c.hotBefore << " " << c.inside << c.enabled;
        EXPECT_EQ(c.hotAfter, hot.label) << c.hotBefore << " " << c.inside << c.enabled;
    }
}

TEST(HotLink, ALabelThatGoesAwayIsForgotten) {
    HotLink hot{kA};
    ForgetLinkLabel(&hot, kB);
    EXPECT_EQ(kA, hot.label);
    ForgetLinkLabel(&hot, kA);
    EXPECT_EQ(0u, hot.label);
}

}  // namespace
