#pragma once
// The machine-wide guard that one collection holds while it runs.
//
// A named semaphore with one slot, not a mutex: a mutex belongs to the thread that took it,
// and a run is started on the caller's thread but ends on whichever worker finishes last.
// Only the holder keeps a handle open (a refused caller closes its own at once), so when the
// holding process dies the object goes with it and the next run finds the slot free.
//
// Any user may create a name in Global\ first (with no free slot, or an access list that shuts
// the runs out), so the guard is made with an explicit list (SYSTEM and Administrators only,
// owner Administrators) and an existing object counts only when SYSTEM, Administrators or
// TrustedInstaller own it. Whatever keeps a run from a trusted free slot refuses the run; no
// run goes on unguarded and none falls back to a namespace of its own session.
#include <windows.h>

#include <string>

#include "files/ObjectFacts.h"

namespace util::files {

enum class GuardState {
    Acquired,
    Busy,         // another run holds the slot, or this process may not open the guard
    Untrusted,    // not made by an administrator (planted, or made unelevated), or this process is none
    Unavailable,  // no guard to be had (the name holds another kind of object, no memory)
};

// The pure decision. opened: the semaphore was made or opened (else error is why not);
// owner: who owns it; administrator: this process has the Administrators group enabled (only
// an administrator's guard is one that no user could have made instead); slotFree: the wait
// for its slot succeeded at once.
GuardState JudgeGuard(bool opened, DWORD error, OwnerKind owner, bool administrator, bool slotFree);

class RunGuard {
public:
    RunGuard() = default;
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    ~RunGuard() { Release(); }

    // Takes the slot of the guard with this name; anything but Acquired refuses the run.
    GuardState Acquire(const std::wstring& name);
    bool TryAcquire(const std::wstring& name) { return Acquire(name) == GuardState::Acquired; }
    // Gives the slot back; nothing when it is not held.
    void Release();

    // What a run starting now would meet (Acquired: the slot is free and trusted).
    static GuardState Probe(const std::wstring& name);
    // True while some run, in any process, holds the guard with this name, or it cannot be
    // taken at all.
    static bool IsHeldElsewhere(const std::wstring& name) { return Probe(name) != GuardState::Acquired; }

private:
    HANDLE semaphore_ = nullptr;
};

// The guard's access list: SYSTEM and Administrators, owner Administrators.
constexpr const wchar_t* kRunGuardSddl = L"O:BAD:P(A;;0x1f0003;;;SY)(A;;0x1f0003;;;BA)";

}  // namespace util::files
