// OrvaneMouseHook.dll double: records starts and stops.
//   FE_HOOK_START  0 makes the start fail
// Built with DOUBLE_WITHOUT_STOP it does not export StopHookMouse.
#include "DoubleRecord.h"

DOUBLE_EXPORT StartHookMouse(HWND) { return doubles::Recorded(L"StartHookMouse", L"FE_HOOK_START", 1); }

#ifndef DOUBLE_WITHOUT_STOP
DOUBLE_EXPORT StopHookMouse() { return doubles::Recorded(L"StopHookMouse", L"", 1); }
#endif
