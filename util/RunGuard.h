#pragma once
// The machine-wide guard that one collection holds while it runs.
//
// A named semaphore with one slot, not a mutex: a mutex belongs to the thread that took it,
// and a run is started on the caller's thread but ends on whichever worker finishes last.
// Only the holder keeps a handle open (a refused caller closes its own at once), so when the
// holding process dies the object goes with it and the next run finds the slot free.
#include <windows.h>

#include <string>

namespace skelda {

class RunGuard {
public:
    RunGuard() = default;
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    ~RunGuard() { Release(); }

    // Takes the slot of the guard with this name; false while another run holds it. A name in
    // the Global\ namespace that this process may not create falls back to the session's own.
    bool TryAcquire(const std::wstring& name);
    // Gives the slot back; nothing when it is not held.
    void Release();

    // True while some run, in any process, holds the guard with this name.
    static bool IsHeldElsewhere(const std::wstring& name);

private:
    HANDLE semaphore_ = nullptr;
};

}  // namespace skelda
