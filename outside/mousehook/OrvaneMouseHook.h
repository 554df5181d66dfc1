#pragma once
// OrvaneMouseHook.dll: reports mouse button presses anywhere on the desktop to one window.
#include <windows.h>

// Posted to the registered window for each button press while the hook runs.
//   wParam: the press (WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN or WM_XBUTTONDOWN)
//   lParam: the screen point, x in the low and y in the high word (signed; GET_X_LPARAM)
constexpr UINT WM_MOUSEHOOK_CLICK = 0x7E8;

extern "C" {
// Installs the low-level mouse hook on the calling thread, which must pump messages, and
// sends the reports to window. While the hook runs, a further call only changes the window.
// Returns 1 while the hook runs, 0 for a window that does not exist or a failed install.
int __cdecl StartHookMouse(HWND window);
// Removes the hook and drops reports still queued for the window on the calling thread.
// Returns 1 if a hook was removed, 0 if none ran.
int __cdecl StopHookMouse();
}
