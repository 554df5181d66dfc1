// OrvaneMouseHook.dll stand-in.
//   DOUBLE_WITHOUT_STOP   StopHookMouse is not exported
#include "DoubleRecord.h"

DOUBLE_EXPORT StartHookMouse(HWND) { return doubles::Recorded(L"StartHookMouse", 1); }

#ifndef DOUBLE_WITHOUT_STOP
DOUBLE_EXPORT StopHookMouse() { return doubles::Recorded(L"StopHookMouse", 1); }
#endif
