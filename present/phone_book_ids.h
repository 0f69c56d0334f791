/* Resource and control identifiers of the Phone Book page. Plain defines: windres reads this. */
#pragma once

#define IDC_PHONE_BOOK_LIST 50
#define IDC_ADD_CONTACT 19
#define IDC_NAME_LABEL 67
#define IDC_NAME_EDIT 43
#define IDC_NUMBERS_LABEL 68
#define IDC_NUMBERS_EDIT 44
#define IDS_COLUMN_CONTACT_NAME 112
#define IDS_COLUMN_PHONE_NUMBERS 113
