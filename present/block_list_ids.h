/* Resource and control identifiers of the Blocked Numbers page. Plain defines: windres reads this. */
#pragma once

#define IDC_BLOCK_LIST 50
#define IDC_BLOCK_ADD 19
#define IDC_BLOCK_WITHHELD 24
#define IDC_BLOCK_OUT_OF_AREA 25
#define IDC_BLOCK_NUMBER_LABEL 67
#define IDC_BLOCK_NUMBER_EDIT 43
#define IDC_BLOCK_NOTE_LABEL 68
#define IDC_BLOCK_NOTE_EDIT 44
#define IDC_BLOCK_HINT 69
#define IDS_COLUMN_BLOCKED_NUMBER 141
#define IDS_COLUMN_BLOCK_NOTE 142
