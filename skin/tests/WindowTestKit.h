#pragma once
// Helpers of the window tests: pumping messages, reading pixels, counting threads, and clocks
// that the test advances in place of the real one.
#include <windows.h>

#include <deque>
#include <vector>

#include "DrawStateInfoStatic.h"
#include "Timers.h"
#include "win/UniqueHandle.h"

namespace testkit {

// Dispatches (through the pre-translate walk) every message already queued for this thread,
// and what handling them queues in turn, until none is left. Takes no time of its own.
void PumpPending();
// Dispatches queued messages for about ms milliseconds: only for tests about the real timers.
void PumpFor(DWORD ms);
// The pixel at client coordinates after any pending paint.
COLORREF ClientPixel(HWND wnd, int x, int y);
// The pixel at window coordinates (non-client area included).
COLORREF WindowPixel(HWND wnd, int x, int y);
int ThreadCount();
LPARAM ScreenPoint(HWND wnd, int clientX, int clientY);
inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Window timers on a clock the test advances: it sees which timer is armed with which period,
// and as the test lets time pass each timer that falls due ticks (WM_TIMER sent to its window,
// in the order they fall due, as often as its period allows).
class ManualTimers : public ui::TimerSource {
public:
    void Set(HWND window, UINT_PTR id, UINT ms) override;
    void Kill(HWND window, UINT_PTR id) override;
    // The period the timer is armed with; 0 when it is not armed.
    UINT Period(HWND window, UINT_PTR id) const;
    void Advance(UINT ms);

private:
    struct Timer {
        HWND window;
        UINT_PTR id;
        UINT period;
        ULONGLONG due;
    };
    std::vector<Timer> timers_;
    ULONGLONG now_ = 0;
};

// A dots pacer that the test steps: the thread's pause ends only when the test says so.
class SteppedPacer : public DotsPacer {
public:
    SteppedPacer();
    bool Pause(HANDLE stop, DWORD ms) override;
    // Waits (a minute at most) until the thread pauses; how long it asked to pause, 0 if it did not.
    DWORD NextPause();
    // Ends the pause the thread is in.
    void Step();

private:
    util::win::CriticalSection lock_;
    std::deque<DWORD> asked_;
    util::win::UniqueHandle pauses_;  // released once per pause begun
    util::win::UniqueHandle steps_;   // released once per step
};

}  // namespace testkit
