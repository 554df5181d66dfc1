#pragma once
// Private window messages of the program's dialogs.
#include <windows.h>
// WM_MOUSEHOOK_CLICK (0x7E8) comes from the mouse-hook library's own header.
#include "../outside/mousehook/OrvaneMouseHook.h"

// Message prompt child to its host: wParam 1 = left button, anything else = right button.
constexpr UINT WM_PROMPT_RESULT = WM_USER + 0x215;
// Usage-terms child to its host: the user pressed start.
constexpr UINT WM_USAGE_ACCEPTED = WM_USER + 0x216;
// To the main child: wParam 1 enables the start button, anything else disables it.
constexpr UINT WM_ENABLE_START = WM_USER + 0x217;
// Owner to a progress prompt: ends it with IDOK.
constexpr UINT WM_CLOSE_PROGRESS = WM_USER + 0x218;
