#include "WindowTestKit.h"

#include <tlhelp32.h>
#include "Dialog.h"

namespace testkit {

namespace {

void Dispatch(MSG& msg) {
    if (!CWnd::WalkPreTranslateTree(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
}

void PumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
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

void ManualTimers::Set(HWND window, UINT_PTR id, UINT ms) {
    Kill(window, id);
    timers_.push_back({window, id, ms, now_ + ms});
}

void ManualTimers::Kill(HWND window, UINT_PTR id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->window == window && it->id == id) {
            timers_.erase(it);
            return;
        }
    }
}

UINT ManualTimers::Period(HWND window, UINT_PTR id) const {
    for (const Timer& timer : timers_)
        if (timer.window == window && timer.id == id) return timer.period;
    return 0;
}

void ManualTimers::Advance(UINT ms) {
    const ULONGLONG until = now_ + ms;
    for (;;) {
        Timer* next = nullptr;
        for (Timer& timer : timers_)
            if (timer.due <= until && (!next || timer.due < next->due)) next = &timer;
        if (!next) break;
        now_ = next->due;
        next->due += next->period ? next->period : 1;
        const HWND window = next->window;
        const UINT_PTR id = next->id;
        ::SendMessageW(window, WM_TIMER, id, 0);  // may arm or kill timers: next is not used after
    }
    now_ = until;
}

SteppedPacer::SteppedPacer()
    : pauses_(::CreateSemaphoreW(nullptr, 0, 1000, nullptr)), steps_(::CreateSemaphoreW(nullptr, 0, 1000, nullptr)) {}

bool SteppedPacer::Pause(HANDLE stop, DWORD ms) {
    {
        util::win::CriticalSectionLock hold(lock_.Native());
        asked_.push_back(ms);
    }
    ::ReleaseSemaphore(pauses_.Get(), 1, nullptr);
    const HANDLE handles[] = {stop, steps_.Get()};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

DWORD SteppedPacer::NextPause() {
    if (::WaitForSingleObject(pauses_.Get(), 60000) != WAIT_OBJECT_0) return 0;
    util::win::CriticalSectionLock hold(lock_.Native());
    const DWORD ms = asked_.front();
    asked_.pop_front();
    return ms;
}

void SteppedPacer::Step() { ::ReleaseSemaphore(steps_.Get(), 1, nullptr); }

}  // namespace testkit
