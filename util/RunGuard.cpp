#include "RunGuard.h"

namespace skelda {
namespace {

HANDLE OpenOrCreate(const std::wstring& name) {
    HANDLE semaphore = ::CreateSemaphoreW(nullptr, 1, 1, name.c_str());
    if (!semaphore && ::GetLastError() == ERROR_ACCESS_DENIED)
        semaphore = ::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str());
    if (!semaphore && name.compare(0, 7, L"Global\\") == 0)
        semaphore = OpenOrCreate(L"Local\\" + name.substr(7));
    return semaphore;
}

}  // namespace

bool RunGuard::TryAcquire(const std::wstring& name) {
    if (semaphore_) return false;  // one run at a time through one guard object
    HANDLE semaphore = OpenOrCreate(name);
    if (!semaphore) return true;  // no guard to be had: the run goes on unguarded
    if (::WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0) {
        ::CloseHandle(semaphore);
        return false;
    }
    semaphore_ = semaphore;
    return true;
}

void RunGuard::Release() {
    HANDLE semaphore = ::InterlockedExchangePointer(&semaphore_, nullptr);
    if (!semaphore) return;
    ::ReleaseSemaphore(semaphore, 1, nullptr);
    ::CloseHandle(semaphore);
}

bool RunGuard::IsHeldElsewhere(const std::wstring& name) {
    RunGuard probe;
    if (!probe.TryAcquire(name)) return true;
    probe.Release();
    return false;
}

}  // namespace skelda
