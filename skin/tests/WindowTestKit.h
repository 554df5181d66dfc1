#pragma once
// Helpers of the window tests: pumping messages, reading pixels, counting threads.
#include <windows.h>

namespace testkit {

// Dispatches queued messages (through the pre-translate walk) for about ms milliseconds.
void PumpFor(DWORD ms);
// The pixel at client coordinates after any pending paint.
COLORREF ClientPixel(HWND wnd, int x, int y);
// The pixel at window coordinates (non-client area included).
COLORREF WindowPixel(HWND wnd, int x, int y);
int ThreadCount();
LPARAM ScreenPoint(HWND wnd, int clientX, int clientY);
inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace testkit
