// OrvaneSkelda.dll stand-in: records the calls of the binding sequence.
//   DOUBLE_UNSUPPORTED       GetCurSystemIsSupport answers 0
//   DOUBLE_INIT_FAILS        InitDll answers 0
//   DOUBLE_WITHOUT_RESTART   RestartSystem is not exported
#include "DoubleRecord.h"

#ifdef DOUBLE_INIT_FAILS
constexpr int kInitResult = 0;
#else
constexpr int kInitResult = 1;
#endif
#ifdef DOUBLE_UNSUPPORTED
constexpr int kSupportResult = 0;
#else
constexpr int kSupportResult = 1;
#endif

DOUBLE_EXPORT InitDll() { return doubles::Recorded(L"InitDll", kInitResult); }

DOUBLE_EXPORT SetWndHandle(HWND window) {
    doubles::Record(::IsWindow(window) ? L"SetWndHandle window" : L"SetWndHandle no-window");
    return 1;
}

DOUBLE_EXPORT GetCurSystemIsSupport() { return doubles::Recorded(L"GetCurSystemIsSupport", kSupportResult); }

DOUBLE_EXPORT SelectSaveSystemInfoFilePosition(HWND, wchar_t*) { return 0; }
DOUBLE_EXPORT StartGetSystemInfo(const wchar_t*, const int*) { return 0; }

#ifndef DOUBLE_WITHOUT_RESTART
DOUBLE_EXPORT RestartSystem() { return 0; }
#endif
