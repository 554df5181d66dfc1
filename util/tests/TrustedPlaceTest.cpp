// The trust rules for places other users could have made, and the guard of one run per
// machine. Wine reports every file as owned by the user who runs it and keeps no list given at
// creation, so what the facts say on disk is shown with the test's user named as trusted; the
// rules themselves are tested case by case on given facts.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <fstream>
#include <string>

#include "PrivateAccess.h"
#include "RunGuard.h"
#include "TempFolder.h"
#include "HandleFiles.h"
#include "TrustedPlace.h"

namespace {

using skelda::GuardState;
using skelda::OwnerKind;
using skelda::PlaceFacts;
using skelda::PlaceVerdict;

PlaceFacts Found(DWORD attributes, OwnerKind owner, DWORD hardLinks = 1) {
    PlaceFacts facts;
    facts.opened = true;
    facts.attributes = attributes;
    facts.owner = owner;
    facts.hardLinks = hardLinks;
    return facts;
}

TEST(TrustedPlaceTest, OnlySystemAdministratorsAndTrustedInstallerOwnTrustedPlaces) {
    EXPECT_EQ(skelda::ClassifyOwnerText(L"S-1-5-18"), OwnerKind::Trusted);
    EXPECT_EQ(skelda::ClassifyOwnerText(L"S-1-5-32-544"), OwnerKind::Trusted);
    EXPECT_EQ(skelda::ClassifyOwnerText(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"),
              OwnerKind::Trusted);
    // Users, a user, a service other than TrustedInstaller, Everyone.
    for (const wchar_t* other : {L"S-1-5-32-545", L"S-1-5-21-1-2-3-1001", L"S-1-5-80-1-2-3-4-5", L"S-1-1-0"})
        EXPECT_EQ(skelda::ClassifyOwnerText(other), OwnerKind::Other) << other;
    EXPECT_EQ(skelda::ClassifyOwnerText(L""), OwnerKind::Unknown);
    EXPECT_EQ(skelda::ClassifyOwner(nullptr), OwnerKind::Unknown);
    EXPECT_EQ(skelda::ClassifyOwnerText(L"S-1-5-21-1-2-3-1001", {L"S-1-5-21-1-2-3-1001"}), OwnerKind::Trusted);
}

TEST(TrustedPlaceTest, EveryFactThatCouldSteerAWriteRefusesThePlace) {
    constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
    constexpr DWORD kFile = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(skelda::JudgePlace(Found(kFolder, OwnerKind::Trusted), true), PlaceVerdict::Trusted);
    EXPECT_EQ(skelda::JudgePlace(Found(kFile, OwnerKind::Trusted), false), PlaceVerdict::Trusted);

    // A link is refused even where an administrator owns it.
    EXPECT_EQ(skelda::JudgePlace(Found(kFolder | FILE_ATTRIBUTE_REPARSE_POINT, OwnerKind::Trusted), true),
              PlaceVerdict::Link);
    EXPECT_EQ(skelda::JudgePlace(Found(kFile | FILE_ATTRIBUTE_REPARSE_POINT, OwnerKind::Trusted), false),
              PlaceVerdict::Link);
    PlaceFacts linkedName = Found(kFolder, OwnerKind::Trusted);
    linkedName.linkByName = true;
    EXPECT_EQ(skelda::JudgePlace(linkedName, true), PlaceVerdict::Link);

    // A file with a second name; a folder's link count says nothing of the kind.
    EXPECT_EQ(skelda::JudgePlace(Found(kFile, OwnerKind::Trusted, 2), false), PlaceVerdict::HardLinked);
    EXPECT_EQ(skelda::JudgePlace(Found(kFolder, OwnerKind::Trusted, 3), true), PlaceVerdict::Trusted);

    EXPECT_EQ(skelda::JudgePlace(Found(kFile, OwnerKind::Trusted), true), PlaceVerdict::WrongKind);
    EXPECT_EQ(skelda::JudgePlace(Found(kFolder, OwnerKind::Trusted), false), PlaceVerdict::WrongKind);
    EXPECT_EQ(skelda::JudgePlace(Found(kFolder, OwnerKind::Other), true), PlaceVerdict::UntrustedOwner);
    EXPECT_EQ(skelda::JudgePlace(Found(kFile, OwnerKind::Unknown), false), PlaceVerdict::UntrustedOwner);

    PlaceFacts absent;
    absent.openError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(skelda::JudgePlace(absent, false), PlaceVerdict::Missing);
    absent.openError = ERROR_PATH_NOT_FOUND;
    EXPECT_EQ(skelda::JudgePlace(absent, true), PlaceVerdict::Missing);
    absent.openError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(skelda::JudgePlace(absent, true), PlaceVerdict::Unreadable);

    PlaceFacts user = Found(kFolder, OwnerKind::Other);
    user.ownerSid = L"S-1-5-21-1-2-3-1001";
    EXPECT_EQ(skelda::VerdictText(PlaceVerdict::UntrustedOwner, user),
              L"is owned by S-1-5-21-1-2-3-1001, not by SYSTEM, Administrators or TrustedInstaller");
}

TEST(TrustedPlaceTest, FactsComeFromTheOpenedObject) {
    skelda::testing::TempFolder folder;
    const std::wstring user = skelda::CurrentUserSid();
    ASSERT_FALSE(user.empty());

    PlaceFacts facts;
    skelda::UniqueHandle held = skelda::OpenPlace(folder.Path(), FILE_LIST_DIRECTORY, FILE_SHARE_READ, facts, {});
    ASSERT_TRUE(held);
    EXPECT_EQ(facts.ownerSid, user);  // made by the test: its user owns it, on Windows too
    EXPECT_EQ(skelda::JudgePlace(facts, true), PlaceVerdict::UntrustedOwner);
    skelda::OpenPlace(folder.Path(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, facts, {user});
    EXPECT_EQ(skelda::JudgePlace(facts, true), PlaceVerdict::Trusted);

    skelda::OpenPlace(folder.Path() + L"\\absent", 0, FILE_SHARE_READ, facts, {user});
    EXPECT_EQ(skelda::JudgePlace(facts, false), PlaceVerdict::Missing);

    // A file made inside the held folder, then given a second name.
    DWORD error = 0;
    skelda::UniqueHandle file =
        skelda::OpenInFolder(held.Get(), L"a.txt", GENERIC_WRITE | DELETE, FILE_SHARE_READ, true, error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(skelda::JudgePlace(skelda::FactsOfHandle(file.Get(), L"", {user}), false), PlaceVerdict::Trusted);
    ASSERT_TRUE(::CreateHardLinkW((folder.Path() + L"\\b.txt").c_str(), (folder.Path() + L"\\a.txt").c_str(), nullptr));
    EXPECT_EQ(skelda::JudgePlace(skelda::FactsOfHandle(file.Get(), L"", {user}), false), PlaceVerdict::HardLinked);

    // Opening without creating finds nothing new.
    EXPECT_FALSE(skelda::OpenInFolder(held.Get(), L"c.txt", GENERIC_READ, FILE_SHARE_READ, false, error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\c.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    // The open file moves over what holds the new name.
    std::ofstream(std::wstring(folder.Path() + L"\\old.txt").c_str()) << "old";
    ASSERT_TRUE(skelda::RenameByHandle(file.Get(), held.Get(), L"old.txt", true));
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    file.Reset();
    WIN32_FILE_ATTRIBUTE_DATA moved{};
    ASSERT_TRUE(::GetFileAttributesExW((folder.Path() + L"\\old.txt").c_str(), GetFileExInfoStandard, &moved));
    EXPECT_EQ(moved.nFileSizeLow, 0u);  // the empty file, not the old one
}

TEST(RunGuardTest, AnythingButATrustedFreeSlotRefusesTheRun) {
    EXPECT_EQ(skelda::JudgeGuard(true, 0, OwnerKind::Trusted, true, true), GuardState::Acquired);
    EXPECT_EQ(skelda::JudgeGuard(true, 0, OwnerKind::Trusted, true, false), GuardState::Busy);
    // A planted object, free or not, is never used.
    EXPECT_EQ(skelda::JudgeGuard(true, 0, OwnerKind::Other, true, true), GuardState::Untrusted);
    EXPECT_EQ(skelda::JudgeGuard(true, 0, OwnerKind::Unknown, true, true), GuardState::Untrusted);
    // A process that is no administrator never takes a slot, whoever made the guard.
    EXPECT_EQ(skelda::JudgeGuard(true, 0, OwnerKind::Trusted, false, true), GuardState::Untrusted);
    // Denied: a guard of the administrators that this process may not use.
    EXPECT_EQ(skelda::JudgeGuard(false, ERROR_ACCESS_DENIED, OwnerKind::Unknown, false, false), GuardState::Busy);
    EXPECT_EQ(skelda::JudgeGuard(false, ERROR_ACCESS_DENIED, OwnerKind::Unknown, true, false), GuardState::Busy);
    // Not elevated, no guard yet: Windows lets nobody else make one owned by Administrators.
    EXPECT_EQ(skelda::JudgeGuard(false, ERROR_INVALID_OWNER, OwnerKind::Unknown, false, false), GuardState::Untrusted);
    EXPECT_EQ(skelda::JudgeGuard(false, ERROR_INVALID_HANDLE, OwnerKind::Unknown, true, false), GuardState::Unavailable);
}

std::wstring GuardName(const wchar_t* what) {
    return L"Global\\SkeldaTestGuard-" + std::wstring(what) + L"-" + std::to_wstring(::GetCurrentProcessId());
}

TEST(RunGuardTest, OneHolderAtATimeAndTheSlotComesBack) {
    const std::wstring name = GuardName(L"slot");
    skelda::RunGuard first;
    ASSERT_EQ(first.Acquire(name), GuardState::Acquired);
    skelda::RunGuard second;
    EXPECT_EQ(second.Acquire(name), GuardState::Busy);
    EXPECT_TRUE(skelda::RunGuard::IsHeldElsewhere(name));
    first.Release();
    EXPECT_EQ(skelda::RunGuard::Probe(name), GuardState::Acquired);
    EXPECT_EQ(second.Acquire(name), GuardState::Acquired);
}

// A semaphore made first under the guard's name by a user, with the given list.
skelda::UniqueHandle Plant(const std::wstring& name, const std::wstring& sddl, LONG count) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!sddl.empty() &&
        !::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return skelda::UniqueHandle();
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    skelda::UniqueHandle planted(::CreateSemaphoreW(descriptor ? &attributes : nullptr, count, 1, name.c_str()));
    if (descriptor) ::LocalFree(descriptor);
    return planted;
}

TEST(RunGuardTest, AnObjectPlantedUnderTheNameRefusesEveryRunAndIsNeverUsed) {
    const std::wstring user = skelda::CurrentUserSid();
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
        skelda::UniqueHandle planted = Plant(name, c.sddl, c.count);
        ASSERT_TRUE(planted) << c.what;
        skelda::RunGuard guard;
        EXPECT_EQ(guard.Acquire(name), GuardState::Untrusted) << c.what;
        EXPECT_TRUE(skelda::RunGuard::IsHeldElsewhere(name)) << c.what;
        // The slot of a free planted object was not taken either.
        if (c.count == 1) {
            EXPECT_EQ(::WaitForSingleObject(planted.Get(), 0), WAIT_OBJECT_0) << c.what;
        }
    }
    // Another kind of object under the name.
    const std::wstring name = GuardName(L"mutex");
    skelda::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(mutex);
    skelda::RunGuard guard;
    EXPECT_EQ(guard.Acquire(name), GuardState::Unavailable);
}

// Run by the next test in a child process with a restricted token: takes the guard named in
// the environment and ends with 100 + the state it met.
TEST(RunGuardChildTest, TakesTheGuardNamedInTheEnvironment) {
    wchar_t name[200] = {};
    if (!::GetEnvironmentVariableW(L"SKELDA_TEST_GUARD", name, 200)) GTEST_SKIP() << "run by the restricted-token test";
    skelda::RunGuard guard;
    ::ExitProcess(100 + static_cast<int>(guard.Acquire(name)));
}

// The child's state, run with the Administrators group for denying only (as a user who is not
// an administrator, or one not elevated).
int RestrictedChild(const std::wstring& name) {
    HANDLE own = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return -1;
    skelda::UniqueHandle token(own);
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
    SID_AND_ATTRIBUTES deny{administrators, 0};
    HANDLE restricted = nullptr;
    if (!::CreateRestrictedToken(token.Get(), 0, 1, &deny, 0, nullptr, 0, nullptr, &restricted)) return -2;
    skelda::UniqueHandle restrictedToken(restricted);

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
    skelda::UniqueHandle child(process.hProcess);
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(child.Get(), 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(child.Get(), &code);
    return static_cast<int>(code);
}

TEST(RunGuardTest, AProcessWithoutAdministratorRightsIsRefusedNeverUnguarded) {
    const std::wstring name = GuardName(L"restricted");
    skelda::RunGuard held;
    ASSERT_EQ(held.Acquire(name), GuardState::Acquired);
    EXPECT_EQ(RestrictedChild(name), 100 + static_cast<int>(GuardState::Busy));
    held.Release();
    // Nobody holds it: the restricted child takes no slot. (Windows refuses it the guard's owner;
    // Wine lets it make the guard, so there the child's own check refuses.)
    EXPECT_EQ(RestrictedChild(name), 100 + static_cast<int>(GuardState::Untrusted));
}

}  // namespace
