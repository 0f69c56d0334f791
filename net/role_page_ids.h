/* Control identifiers of the role page (tree item "Modem"). Plain defines: windres reads this. */
#pragma once

#define IDC_ROLE_MODEM 53
#define IDC_ROLE_BROADCAST 21
#define IDC_ROLE_NETWORK 54
