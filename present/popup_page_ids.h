/* Control identifiers of the Popup Window page. Plain defines: windres reads this. */
#pragma once

#define IDC_POPUP_ENABLED 23
#define IDC_POPUP_CLOSE_LABEL 62
#define IDC_POPUP_SECONDS 47
#define IDC_POPUP_SECONDS_LABEL 63
#define IDC_POPUP_FONT_GROUP 61
#define IDC_POPUP_FONT_SAMPLE 56
#define IDC_POPUP_FONT_CHANGE 15
#define IDC_POPUP_BACK_LABEL 64
#define IDC_POPUP_BACK_SWATCH 27
#define IDC_POPUP_TEXT_LABEL 65
#define IDC_POPUP_TEXT_SWATCH 28
#define IDC_POPUP_TEST 20
#define IDC_POPUP_NO_CALLER_ID 76
