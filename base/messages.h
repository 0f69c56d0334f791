// Every numbered message that the threads and windows of the program exchange. Page-private
// identifiers are listed too, so that no page reuses another's number by accident.
#pragma once

// Commands (WM_COMMAND, identifier in the low word of wParam) to the main window.
inline constexpr int IDM_FILE_EXIT = 10;  // menu bar File > Exit
inline constexpr int IDM_TRAY_EXIT = 11;  // tray menu Exit; also posted by "/UNINSTALL"
inline constexpr int CMD_STOP = 2753;     // stop all work, hide, show the stopped tray icon
inline constexpr int CMD_RING = 2754;     // a ring: blink the tray icon, play the ring sound
inline constexpr int CMD_SHOW = 2757;     // show the main window and bring it to the front
inline constexpr int CMD_SHOW_HELP = 2758;  // lParam: which help, from a window that is no page (below)
inline constexpr int kHelpFromCallPopup = 1;
inline constexpr int kHelpFromCrashReport = 2;
inline constexpr int CMD_CALL_BLOCKED = 2761;  // a ringing call was hung up on: stop blinking and the ring sound

// Commands from the main window to the pages.
inline constexpr int CMD_PAGE_SAVE = 2752;      // save the page's settings if it is marked changed
inline constexpr int CMD_ROLE_CHANGED = 2755;   // lParam: the new role; the Network page sends it to the main window, which tells every page
inline constexpr int CMD_PAGE_ACTIVATE = 2756;  // lParam: 1 shown, 0 hidden
inline constexpr int CMD_REFRESH = 2141;        // page-private refresh, lParam per page (the agent's to the Network page: a host renewed or added)
inline constexpr int CMD_SOUNDS_TEST = 20;      // the Sounds page's "Test" button, posted on a ring

// Tray icon and blinking.
inline constexpr int TRAY_ICON_ID = 2301;
inline constexpr int MSG_TRAY_CALLBACK = 2302;  // window message, wParam TRAY_ICON_ID, lParam mouse msg
inline constexpr int TIMER_BLINK = 2304;        // 250 ms blink step of the main window

// Thread messages (PostThreadMessage).
inline constexpr int TMSG_AGENT_TEXT = 1238;   // lParam: LocalAlloc'd text the agent frees
inline constexpr int TMSG_STOP_THREAD = 2751;  // the receiving worker thread ends

// Identifiers private to one window, reserved here.
inline constexpr int CMD_MODEM_PAGE_PRIVATE = 2142;     // Modem page
inline constexpr int CMD_HOST_LIST_PRIVATE = 2458;      // host list page
inline constexpr int CMD_PHONE_BOOK_PRIVATE_1 = 1122;   // phone book page
inline constexpr int CMD_PHONE_BOOK_PRIVATE_2 = 1123;
inline constexpr int CMD_BLOCK_LIST_PRIVATE_1 = 1132;   // Blocked Numbers page
inline constexpr int CMD_BLOCK_LIST_PRIVATE_2 = 1133;
inline constexpr int CMD_CALLER_LOG_BLOCK = 1134;       // Caller Log page: "Block this number"
inline constexpr int TIMER_COUNTDOWN_DELAY = 2214;      // crash report dialog, 5000 ms
inline constexpr int TIMER_COUNTDOWN = 2215;            // crash report dialog, 1000 ms
inline constexpr int CMD_STOP_COUNTDOWN = 2216;         // crash report dialog
inline constexpr int TIMER_POPUP_CLOSE = 10;            // popup window, 1000 ms
inline constexpr int TIMER_LINK_HOVER = 1003;           // link label, 1 ms
inline constexpr int TIMER_LINK_LOCKOUT = 1004;         // link label, 1000 ms
