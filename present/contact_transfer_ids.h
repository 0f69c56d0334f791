/* Controls of the Phone Book page that bring contacts in from other programs and take them out.
   Plain defines: windres reads this. */
#pragma once

#define IDC_IMPORT_CONTACTS 1124
#define IDC_EXPORT_CONTACTS 1125
#define IDC_UNDO_IMPORT 1126
