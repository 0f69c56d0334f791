/* Resource and control identifiers of the Caller Log page. Plain defines: windres reads this. */
#pragma once

#define IDC_CALLER_LOG_LIST 50
#define IDS_COLUMN_DATE 106
#define IDS_COLUMN_NAME 107
#define IDS_COLUMN_NUMBER 108
#define IDS_COLUMN_TIME 109
#define IDS_COLUMN_BLOCKED 143
#define IDS_BLOCKED_YES 144
#define IDS_BLOCK_THIS_NUMBER 145
