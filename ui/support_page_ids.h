/* Control identifiers of the Support page. Plain defines: windres reads this. */
#pragma once

#define IDC_SUPPORT_VERSION 74
#define IDC_SUPPORT_RELEASE_DATE 55
#define IDC_SUPPORT_WEBSITE 77
#define IDC_SUPPORT_EMAIL 48
#define IDC_SUPPORT_FILES 78               /* link label: the folder of the caller log */
#define IDC_SUPPORT_START_WITH_WINDOWS 79  /* check box */
