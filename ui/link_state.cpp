#include "ui/link_state.h"

#include "base/text_utils.h"

HotChange EnterLinkLabel(HotLink* hot, LinkId label) {
    if (hot->label == label) return {0, 0};
    LinkId former = hot->label;
    hot->label = label;
    return {former, label};
}

HoverCheck CheckLinkHover(HotLink* hot, LinkId label, bool pointerInside, bool enabled) {
    if (hot->label != label) return {true, label};
    if (pointerInside && enabled) return {false, 0};
    hot->label = 0;
    return {false, label};
}

void ForgetLinkLabel(HotLink* hot, LinkId label) {
    if (hot->label == label) hot->label = 0;
}

bool TakeLinkClick(LinkLockout* lockout, uint32_t now) {
    // The timer that ends the lock-out may come late (a busy thread); the time still counts.
    if (lockout->active && TicksSince(lockout->since, now) < kLinkLockoutMs) return false;
    lockout->active = true;
    lockout->since = now;
    return true;
}

void EndLinkLockout(LinkLockout* lockout) { lockout->active = false; }
