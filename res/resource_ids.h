/* Resource identifiers shared by the .rc files and the code. Plain defines: windres reads this. */
#pragma once

/* String table */
#define IDS_CREATE_KEY_FAILED 100 /* "Could not create key in registry." */
#define IDS_ERROR 101             /* "Error" */
#define IDS_TWO_SERVERS 102       /* "More than one server is not allowed!" */
#define IDS_PAGE_CALLER_LOG 118
#define IDS_PAGE_PROGRAM_LOG 119
#define IDS_PAGE_MODEM 120
#define IDS_PAGE_NETWORK 121
#define IDS_PAGE_PHONE_BOOK 122
#define IDS_PAGE_POPUP 123
#define IDS_PAGE_SOUNDS 124
#define IDS_PAGE_SUPPORT 125
#define IDS_NUMBER_PRIVATE 126      /* "Private": the number "P" on the screen */
#define IDS_NUMBER_OUT_OF_AREA 127  /* "Out of area": the number "O" on the screen */
#define IDS_NO_CALLER_ID 128        /* "No caller ID": the number "-" on the screen */
#define IDS_PAGE_BLOCK_LIST 140     /* "Blocked Numbers" */
#define IDS_CRASH_MAIL_BODY 96    /* the body of a crash report mail */

/* Dialogs */
#define IDD_CALLER_LOG_PAGE 78
#define IDD_CRASH_REPORT 79
#define IDD_MAIN 80
#define IDD_MODEM_PAGE 81
#define IDD_ROLE_PAGE 82
#define IDD_HOST_LIST_PAGE 83
#define IDD_PHONE_BOOK_PAGE 84
#define IDD_POPUP_PAGE 85
#define IDD_SOUNDS_PAGE 86
#define IDD_SUPPORT_PAGE 87
#define IDD_BLOCK_LIST_PAGE 97

/* Menus */
#define IDR_MAIN_MENU 94
#define IDR_TRAY_MENU 95

/* Controls of the main window */
#define IDC_PAGE_TREE 75

/* Icons and cursors */
#define IDI_NORMAL 88
#define IDI_STOPPED 89
#define IDI_FINDER 90
#define IDI_RING_A 91
#define IDI_RING_B 93
#define IDC_FINDER 39

/* Application manifest: resource type 24, identifier 1 */
#define IDR_MANIFEST 1

/* The help page (RT_HTML), built from the README (tools/help_page.py) */
#define IDR_HELP_PAGE 2
