#include "base/message_box_res.h"

#include "base/win_state.h"

int MessageBoxRes(HWND owner, UINT textId, UINT captionId, UINT style) {
    char text[2048];
    char caption[256];
    HINSTANCE instance = g_win.instance != nullptr ? g_win.instance : GetModuleHandleA(nullptr);
    if (LoadStringA(instance, textId, text, sizeof text) <= 0) text[0] = '\0';
    if (LoadStringA(instance, captionId, caption, sizeof caption) <= 0) caption[0] = '\0';
    return MessageBoxA(owner, text, caption, style);
}
