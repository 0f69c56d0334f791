/* Control identifiers of the Sounds page. Plain defines: windres reads this. */
#pragma once

#define IDC_SOUND_ENABLED 23
#define IDC_SOUND_FILE 41
#define IDC_SOUND_BROWSE 14
#define IDC_SOUND_TEST 20 /* also what a ring posts to the page (CMD_SOUNDS_TEST) */
