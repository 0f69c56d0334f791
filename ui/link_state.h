// The rules of the link labels that do not need a window: which label is hot (has the mouse over
// it), what a hover check decides, and the lock-out after a click. The window layer feeds in the
// tick count and the pointer's place and carries out the answers (repaint, stop a timer).
#pragma once
#include <cstdint>

// Hover check: as often as the system delivers timer messages, so leaving a label turns it navy
// at once even though a static control hears nothing when the mouse leaves it.
inline constexpr unsigned kHoverTimerId = 1003;
inline constexpr uint32_t kHoverCheckMs = 1;
// Re-enable after a click: a quick second click (or a double click) must not open a second
// browser or mail window.
inline constexpr unsigned kEnableTimerId = 1004;
inline constexpr uint32_t kLinkLockoutMs = 1000;

// A label, by its window handle; 0 stands for none.
using LinkId = uintptr_t;

// The one label that has the mouse over it, process-wide: the user-interface thread alone
// touches it.
struct HotLink {
    LinkId label;
};

// The mouse is over label: it becomes the hot link. The labels to repaint (0 = none) come back:
// the one that stopped being hot, and the label itself when it was not hot before.
struct HotChange {
    LinkId repaintFormer;
    LinkId repaintLabel;
};
HotChange EnterLinkLabel(HotLink* hot, LinkId label);

// One tick of label's hover check, with whether the pointer is inside its client area and
// whether it takes clicks. The hot label stays hot while both hold; otherwise it stops being hot
// and is repainted, and its timer is stopped at the next tick (when it is no longer hot).
struct HoverCheck {
    bool stopTimer;
    LinkId repaint;
};
HoverCheck CheckLinkHover(HotLink* hot, LinkId label, bool pointerInside, bool enabled);

// The label is going away: it must not stay the hot link.
void ForgetLinkLabel(HotLink* hot, LinkId label);

// A label's lock-out after a click.
struct LinkLockout {
    bool active;
    uint32_t since;  // tick count of the click that started it
};

// A click at now: true when it counts, and the lock-out starts; false when it falls into the
// lock-out of an earlier click. Elapsed time is an unsigned tick difference, right across the
// wrap of the counter.
bool TakeLinkClick(LinkLockout* lockout, uint32_t now);

// The re-enable timer has come: clicks count again.
void EndLinkLockout(LinkLockout* lockout);
