#pragma once
// Where a window's timers come from. Windows use the system's unless given another source, so
// that a test can stand in for the clock: it sees which timer is armed with which period and
// delivers WM_TIMER itself, whatever the machine's speed or load.
#include <windows.h>

namespace ui {

class TimerSource {
public:
    virtual ~TimerSource() = default;
    // Arms (or re-arms) the window's timer id to send WM_TIMER every ms milliseconds.
    virtual void Set(HWND window, UINT_PTR id, UINT ms) = 0;
    // Disarms it; nothing when it is not armed.
    virtual void Kill(HWND window, UINT_PTR id) = 0;
};

// The system's timers: SetTimer and KillTimer.
TimerSource& SystemTimers();

}  // namespace ui
