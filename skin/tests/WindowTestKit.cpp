#include "WindowTestKit.h"

#include <tlhelp32.h>
#include "Dialog.h"

namespace testkit {

void PumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
}

COLORREF ClientPixel(HWND wnd, int x, int y) {
    ::UpdateWindow(wnd);
    HDC dc = ::GetDC(wnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(wnd, dc);
    return c;
}

COLORREF WindowPixel(HWND wnd, int x, int y) {
    ::UpdateWindow(wnd);
    HDC dc = ::GetWindowDC(wnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(wnd, dc);
    return c;
}

int ThreadCount() {
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te{sizeof(te)};
    int n = 0;
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == ::GetCurrentProcessId()) ++n;
    ::CloseHandle(snap);
    return n;
}

LPARAM ScreenPoint(HWND wnd, int clientX, int clientY) {
    POINT pt{clientX, clientY};
    ::ClientToScreen(wnd, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

}  // namespace testkit

