// The guard of one run per machine: only a trusted free slot lets a run in.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>

#include "files/RunGuard.h"
#include "win/ProcessToken.h"
#include "win/UniqueHandle.h"

namespace {

using util::files::GuardState;
using util::files::OwnerKind;

TEST(RunGuardTest, AnythingButATrustedFreeSlotRefusesTheRun) {
    EXPECT_EQ(util::files::JudgeGuard(true, 0, OwnerKind::Trusted, true, true), GuardState::Acquired);
    EXPECT_EQ(util::files::JudgeGuard(true, 0, OwnerKind::Trusted, true, false), GuardState::Busy);
    // A planted object, free or not, is never used.
    EXPECT_EQ(util::files::JudgeGuard(true, 0, OwnerKind::Other, true, true), GuardState::Untrusted);
    EXPECT_EQ(util::files::JudgeGuard(true, 0, OwnerKind::Unknown, true, true), GuardState::Untrusted);
    // A process that is no administrator never takes a slot, whoever made the guard.
    EXPECT_EQ(util::files::JudgeGuard(true, 0, OwnerKind::Trusted, false, true), GuardState::Untrusted);
    // Denied: a guard of the administrators that this process may not use.
    EXPECT_EQ(util::files::JudgeGuard(false, ERROR_ACCESS_DENIED, OwnerKind::Unknown, false, false), GuardState::Busy);
    EXPECT_EQ(util::files::JudgeGuard(false, ERROR_ACCESS_DENIED, OwnerKind::Unknown, true, false), GuardState::Busy);
    // Not elevated, no guard yet: Windows lets nobody else make one owned by Administrators.
    EXPECT_EQ(util::files::JudgeGuard(false, ERROR_INVALID_OWNER, OwnerKind::Unknown, false, false), GuardState::Untrusted);
    EXPECT_EQ(util::files::JudgeGuard(false, ERROR_INVALID_HANDLE, OwnerKind::Unknown, true, false), GuardState::Unavailable);
}

std::wstring GuardName(const wchar_t* what) {
    return L"Global\\SkeldaTestGuard-" + std::wstring(what) + L"-" + std::to_wstring(::GetCurrentProcessId());
}

TEST(RunGuardTest, OneHolderAtATimeAndTheSlotComesBack) {
    const std::wstring name = GuardName(L"slot");
    util::files::RunGuard first;
    ASSERT_EQ(first.Acquire(name), GuardState::Acquired);
    util::files::RunGuard second;
    EXPECT_EQ(second.Acquire(name), GuardState::Busy);
    EXPECT_TRUE(util::files::RunGuard::IsHeldElsewhere(name));
    first.Release();
    EXPECT_EQ(util::files::RunGuard::Probe(name), GuardState::Acquired);
    EXPECT_EQ(second.Acquire(name), GuardState::Acquired);
}

// A semaphore made first under the guard's name by a user, with the given list.
util::win::UniqueHandle Plant(const std::wstring& name, const std::wstring& sddl, LONG count) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!sddl.empty() &&
        !::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return util::win::UniqueHandle();
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    util::win::UniqueHandle planted(::CreateSemaphoreW(descriptor ? &attributes : nullptr, count, 1, name.c_str()));
    if (descriptor) ::LocalFree(descriptor);
    return planted;
}

TEST(RunGuardTest, AnObjectPlantedUnderTheNameRefusesEveryRunAndIsNeverUsed) {
    const std::wstring user = util::win::CurrentUserSid();
    ASSERT_FALSE(user.empty());
    struct Case {
        const wchar_t* what;
        std::wstring sddl;
        LONG count;
    };
    const Case cases[] = {
        {L"user-free", L"O:" + user + L"D:(A;;GA;;;WD)", 1},  // open to all, slot free
        {L"user-none", L"O:" + user + L"D:(A;;GA;;;WD)", 0},  // no slot ever
        {L"default", L"", 1},                                   // the creator's default list
    };
    for (const Case& c : cases) {
        const std::wstring name = GuardName(c.what);
        util::win::UniqueHandle planted = Plant(name, c.sddl, c.count);
        ASSERT_TRUE(planted) << c.what;
        util::files::RunGuard guard;
        EXPECT_EQ(guard.Acquire(name), GuardState::Untrusted) << c.what;
        EXPECT_TRUE(util::files::RunGuard::IsHeldElsewhere(name)) << c.what;
        // The slot of a free planted object was not taken either.
        if (c.count == 1) {
            EXPECT_EQ(::WaitForSingleObject(planted.Get(), 0), WAIT_OBJECT_0) << c.what;
        }
    }
    // Another kind of object under the name.
    const std::wstring name = GuardName(L"mutex");
    util::win::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(mutex);
    util::files::RunGuard guard;
    EXPECT_EQ(guard.Acquire(name), GuardState::Unavailable);
}

// Run by the next test in a child process with a restricted token: takes the guard named in
// the environment and ends with 100 + the state it met.
TEST(RunGuardChildTest, TakesTheGuardNamedInTheEnvironment) {
    wchar_t name[200] = {};
    if (!::GetEnvironmentVariableW(L"SKELDA_TEST_GUARD", name, 200)) GTEST_SKIP() << "run by the restricted-token test";
    util::files::RunGuard guard;
    ::ExitProcess(100 + static_cast<int>(guard.Acquire(name)));
}

// The child's state, run with the Administrators group for denying only (as a user who is not
// an administrator, or one not elevated).
int RestrictedChild(const std::wstring& name) {
    HANDLE own = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return -1;
    util::win::UniqueHandle token(own);
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
    SID_AND_ATTRIBUTES deny{administrators, 0};
    HANDLE restricted = nullptr;
    if (!::CreateRestrictedToken(token.Get(), 0, 1, &deny, 0, nullptr, 0, nullptr, &restricted)) return -2;
    util::win::UniqueHandle restrictedToken(restricted);

    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=RunGuardChildTest.*";
    ::SetEnvironmentVariableW(L"SKELDA_TEST_GUARD", name.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessAsUserW(restrictedToken.Get(), nullptr, &command[0], nullptr, nullptr, FALSE,
                                                0, nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(L"SKELDA_TEST_GUARD", nullptr);
    if (!started) return -3;
    util::win::UniqueHandle child(process.hProcess);
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(child.Get(), 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(child.Get(), &code);
    return static_cast<int>(code);
}

TEST(RunGuardTest, AProcessWithoutAdministratorRightsIsRefusedNeverUnguarded) {
    const std::wstring name = GuardName(L"restricted");
    util::files::RunGuard held;
    ASSERT_EQ(held.Acquire(name), GuardState::Acquired);
    EXPECT_EQ(RestrictedChild(name), 100 + static_cast<int>(GuardState::Busy));
    held.Release();
    // Nobody holds it: the restricted child takes no slot. (Windows refuses it the guard's owner;
    // Wine lets it make the guard, so there the child's own check refuses.)
    EXPECT_EQ(RestrictedChild(name), 100 + static_cast<int>(GuardState::Untrusted));
}

}  // namespace
