// OrvaneMouseHook.dll double: records starts and stops; FE_HOOK_START 0 makes the start fail.
#include "MainDoubleRecord.h"

FE_DOUBLE_EXPORT StartHookMouse(HWND) {
    fedouble::Record(L"StartHookMouse");
    return fedouble::IntSetting(L"FE_HOOK_START", 1);
}

FE_DOUBLE_EXPORT StopHookMouse() {
    fedouble::Record(L"StopHookMouse");
    return 1;
}
