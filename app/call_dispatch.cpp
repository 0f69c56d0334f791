#include "base/call_events.h"

#include <windows.h>

#include "app/call_routing.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/roles.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/caller_log_page.h"
#include "present/phone_book_lookup.h"
#include "present/phone_number_format.h"
#include "present/popup_window.h"

namespace {
constexpr size_t kAnnounceBufferSize = 512;
constexpr size_t kAgentTextSize = 2048;

// Hands a copy of text to the network agent thread, which frees it; dropped while no agent runs.
void PostAgentText(const char* text) {
    DWORD agent = g_win.agentThreadId;
    if (agent == 0) return;
    size_t size = static_cast<size_t>(lstrlenA(text)) + 2;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, size));
    if (block == nullptr) return;
    CopyText(block, size, text);
    if (!PostThreadMessageA(agent, TMSG_AGENT_TEXT, 0, reinterpret_cast<LPARAM>(block))) {
        LocalFree(block);
        char reason[256];
        LogPrintf("Could not post message: %s", ErrorText(kLastError, reason, sizeof reason));
    }
}
}  // namespace

void DispatchCall(const CallRecord* call) {
    if (call == nullptr) return;
    CallRouting routing = RouteModemCall(GetRole(), call->number);
    if (routing.announce) AnnounceCall(call->name, call->number);
    if (routing.broadcast) {
        char text[kAgentTextSize];
        FormatCallText(text, sizeof text, call->number, call->name);
        PostAgentText(text);
    }
}

void DispatchRing(uint32_t ringCount) {
    if (!BroadcastsRings(GetRole())) return;
    char text[64];
    FormatRingText(text, sizeof text, ringCount);
    PostAgentText(text);
}

void AnnounceCall(const char* name, const char* number) {
    if (name == nullptr) name = "";
    if (number == nullptr) number = "";
    char shownName[kAnnounceBufferSize] = {};
    CopyText(shownName, sizeof shownName, name);
    // The contact's name, when the book knows the number; a withheld number names nobody.
    if (!IsNumberWithheld(number)) LookupPhoneBook(number, shownName, sizeof shownName);
    char shownNumber[kAnnounceBufferSize] = {};
    CopyText(shownNumber, sizeof shownNumber, number);
    FormatPhoneNumber(shownNumber, sizeof shownNumber);
    char popup[2 * kAnnounceBufferSize + 4];
    FormatPopupText(popup, sizeof popup, shownName, shownNumber);
    ShowPopup("%s", popup);
    AddCallerLogEntry(name, number);  // the log keeps the call as it came, neither looked up nor formatted
}
