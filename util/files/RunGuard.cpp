#include "files/RunGuard.h"

#include <aclapi.h>
#include <sddl.h>

#include "win/ProcessToken.h"
#include "win/UniqueHandle.h"

namespace util::files {

using win::UniqueHandle;

GuardState JudgeGuard(bool opened, DWORD error, OwnerKind owner, bool administrator, bool slotFree) {
    if (!opened) {
        // Denied: an administrators' guard this process may not use, which a run holds or
        // will hold; a non-administrator cannot make one owned by Administrators either.
        if (error == ERROR_ACCESS_DENIED) return GuardState::Busy;
        if (error == ERROR_INVALID_OWNER) return GuardState::Untrusted;
        return GuardState::Unavailable;
    }
    if (owner != OwnerKind::Trusted || !administrator) return GuardState::Untrusted;
    return slotFree ? GuardState::Acquired : GuardState::Busy;
}

GuardState RunGuard::Acquire(const std::wstring& name) {
    if (semaphore_) return GuardState::Busy;  // one run at a time through one guard object
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kRunGuardSddl, SDDL_REVISION_1, &descriptor, nullptr))
        return GuardState::Unavailable;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    UniqueHandle semaphore(::CreateSemaphoreW(&attributes, 1, 1, name.c_str()));
    const DWORD error = semaphore ? ERROR_SUCCESS : ::GetLastError();
    ::LocalFree(descriptor);

    OwnerKind owner = OwnerKind::Unknown;
    const bool administrator = win::ProcessIsAdministrator();
    bool slotFree = false;
    if (semaphore) {
        PSID ownerSid = nullptr;
        PSECURITY_DESCRIPTOR found = nullptr;
        if (::GetSecurityInfo(semaphore.Get(), SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &ownerSid, nullptr,
                              nullptr, nullptr, &found) == ERROR_SUCCESS) {
            owner = ClassifyOwner(SidText(ownerSid));
            ::LocalFree(found);
        }
        // The slot is only taken from a trusted object, by an administrator.
        slotFree = owner == OwnerKind::Trusted && administrator &&
                   ::WaitForSingleObject(semaphore.Get(), 0) == WAIT_OBJECT_0;
    }
    const GuardState state = JudgeGuard(static_cast<bool>(semaphore), error, owner, administrator, slotFree);
    if (state == GuardState::Acquired) semaphore_ = semaphore.Release();
    return state;
}

void RunGuard::Release() {
    HANDLE semaphore = ::InterlockedExchangePointer(&semaphore_, nullptr);
    if (!semaphore) return;
    ::ReleaseSemaphore(semaphore, 1, nullptr);
    ::CloseHandle(semaphore);
}

GuardState RunGuard::Probe(const std::wstring& name) {
    RunGuard probe;
    const GuardState state = probe.Acquire(name);
    probe.Release();
    return state;
}

}  // namespace util::files
