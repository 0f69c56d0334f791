#include "base/win_state.h"

WinState g_win;
