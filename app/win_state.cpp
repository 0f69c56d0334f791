#include "app/win_state.h"

WinState g_win;
