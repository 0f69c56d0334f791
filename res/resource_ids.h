/* Resource identifiers shared by the .rc files and the code. Plain defines: windres reads this. */
#pragma once

/* String table */
#define IDS_CREATE_KEY_FAILED 100 /* "Could not create key in registry." */
#define IDS_ERROR 101             /* "Error" */
#define IDS_TWO_SERVERS 102       /* "More than one server is not allowed!" */

/* Dialogs */
#define IDD_MAIN 80

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
