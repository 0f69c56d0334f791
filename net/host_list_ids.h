/* Resource and control identifiers of the Network page (the host list). Plain defines: windres reads this. */
#pragma once

#define IDC_HOST_LIST 50
#define IDC_HOST_GROUP 72
#define IDC_HOST_EDIT 42
#define IDC_HOST_CHANGE 15
#define IDC_HOST_DELETE 16
#define IDC_HOST_NEW 19
#define IDC_HOST_PERMANENT 24
#define IDS_COLUMN_HOST 103
#define IDS_COLUMN_PERMANENT 104
#define IDS_COLUMN_TIMESTAMP 105
#define IDS_YES 111
