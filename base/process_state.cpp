#include "base/process_state.h"

#include "base/product.h"

ProcessState g_state;

void SetProcessDefaults(ProcessState* state) {
    state->stop = 0;
    state->role = kDefaultRole;
    state->udpPort = kUdpPort;
    state->broadcastAddress[0] = '\0';
    state->popupTextColour = kDefaultTextColour;
    state->popupBackColour = kDefaultBackColour;
    state->popupsEnabled = 1;
    state->popupCloseSeconds = kDefaultPopupSeconds;
    state->otherBroadcasterSeen = 0;
}
