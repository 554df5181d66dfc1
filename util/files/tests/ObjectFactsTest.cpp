// The trust rules for places other users could have made. Wine reports every file as owned by the user who runs it and keeps no list given at
// creation, so what the facts say on disk is shown with the test's user named as trusted; the
// rules themselves are tested case by case on given facts.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <fstream>
#include <string>

#include "files/NoFollow.h"
#include "files/ObjectFacts.h"
#include "testing/TempFolder.h"
#include "win/ProcessToken.h"

namespace {

using util::files::OwnerKind;
using util::files::ObjectFacts;
using util::files::PlaceVerdict;

ObjectFacts Found(DWORD attributes, OwnerKind owner, DWORD hardLinks = 1) {
    ObjectFacts facts;
    facts.known = true;
    facts.attributes = attributes;
    facts.owner = owner;
    facts.hardLinks = hardLinks;
    return facts;
}

TEST(ObjectFactsTest, OnlySystemAdministratorsAndTrustedInstallerOwnTrustedPlaces) {
    using util::files::ClassifyOwner;
    EXPECT_EQ(ClassifyOwner(L"S-1-5-18"), OwnerKind::Trusted);
    EXPECT_EQ(ClassifyOwner(L"S-1-5-32-544"), OwnerKind::Trusted);
    EXPECT_EQ(ClassifyOwner(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"), OwnerKind::Trusted);
    // Users, a user, a service other than TrustedInstaller, Everyone.
    for (const wchar_t* other : {L"S-1-5-32-545", L"S-1-5-21-1-2-3-1001", L"S-1-5-80-1-2-3-4-5", L"S-1-1-0"})
        EXPECT_EQ(ClassifyOwner(other), OwnerKind::Other) << other;
    EXPECT_EQ(ClassifyOwner(L""), OwnerKind::Unknown);
    EXPECT_EQ(ClassifyOwner(util::files::SidText(nullptr)), OwnerKind::Unknown);
    EXPECT_EQ(ClassifyOwner(L"S-1-5-21-1-2-3-1001", {{L"S-1-5-21-1-2-3-1001"}, L""}), OwnerKind::Trusted);
}

TEST(ObjectFactsTest, TheRunsUserIsToldApartFromOthersOnlyWhereNamed) {
    using util::files::ClassifyOwner;
    const std::wstring user = L"S-1-5-21-1-2-3-1001";
    const util::files::OwnerRule rule{{}, user};
    EXPECT_EQ(ClassifyOwner(L"S-1-5-18", rule), OwnerKind::Trusted);      // SYSTEM
    EXPECT_EQ(ClassifyOwner(L"S-1-5-32-544", rule), OwnerKind::Trusted);  // Administrators
    EXPECT_EQ(ClassifyOwner(user, rule), OwnerKind::User);
    EXPECT_EQ(ClassifyOwner(L"S-1-5-21-1-2-3-1002", rule), OwnerKind::Other);  // another user
    EXPECT_EQ(ClassifyOwner(L"S-1-5-32-545", rule), OwnerKind::Other);         // Users
    EXPECT_EQ(ClassifyOwner(L"S-1-1-0", rule), OwnerKind::Other);              // Everyone
    EXPECT_EQ(ClassifyOwner(L"", {{}, L""}), OwnerKind::Unknown);              // unknown, even with no user known
    // A link made by the user could lead anywhere: without the rule naming the user, it is nobody's.
    EXPECT_EQ(ClassifyOwner(user), OwnerKind::Other);
}

TEST(ObjectFactsTest, EveryFactThatCouldSteerAWriteRefusesThePlace) {
    constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
    constexpr DWORD kFile = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(util::files::JudgePlace(Found(kFolder, OwnerKind::Trusted), true), PlaceVerdict::Trusted);
    EXPECT_EQ(util::files::JudgePlace(Found(kFile, OwnerKind::Trusted), false), PlaceVerdict::Trusted);

    // A link is refused even where an administrator owns it.
    EXPECT_EQ(util::files::JudgePlace(Found(kFolder | FILE_ATTRIBUTE_REPARSE_POINT, OwnerKind::Trusted), true),
              PlaceVerdict::Link);
    EXPECT_EQ(util::files::JudgePlace(Found(kFile | FILE_ATTRIBUTE_REPARSE_POINT, OwnerKind::Trusted), false),
              PlaceVerdict::Link);
    ObjectFacts linkedName = Found(kFolder, OwnerKind::Trusted);
    linkedName.linkByName = true;
    EXPECT_EQ(util::files::JudgePlace(linkedName, true), PlaceVerdict::Link);

    // A file with a second name; a folder's link count says nothing of the kind.
    EXPECT_EQ(util::files::JudgePlace(Found(kFile, OwnerKind::Trusted, 2), false), PlaceVerdict::HardLinked);
    EXPECT_EQ(util::files::JudgePlace(Found(kFolder, OwnerKind::Trusted, 3), true), PlaceVerdict::Trusted);

    EXPECT_EQ(util::files::JudgePlace(Found(kFile, OwnerKind::Trusted), true), PlaceVerdict::WrongKind);
    EXPECT_EQ(util::files::JudgePlace(Found(kFolder, OwnerKind::Trusted), false), PlaceVerdict::WrongKind);
    EXPECT_EQ(util::files::JudgePlace(Found(kFolder, OwnerKind::Other), true), PlaceVerdict::UntrustedOwner);
    EXPECT_EQ(util::files::JudgePlace(Found(kFile, OwnerKind::Unknown), false), PlaceVerdict::UntrustedOwner);

    ObjectFacts absent;
    absent.error = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(util::files::JudgePlace(absent, false), PlaceVerdict::Missing);
    absent.error = ERROR_PATH_NOT_FOUND;
    EXPECT_EQ(util::files::JudgePlace(absent, true), PlaceVerdict::Missing);
    absent.error = ERROR_ACCESS_DENIED;
    EXPECT_EQ(util::files::JudgePlace(absent, true), PlaceVerdict::Unreadable);

    ObjectFacts user = Found(kFolder, OwnerKind::Other);
    user.ownerSid = L"S-1-5-21-1-2-3-1001";
    EXPECT_EQ(util::files::VerdictText(PlaceVerdict::UntrustedOwner, user),
              L"is owned by S-1-5-21-1-2-3-1001, not by SYSTEM, Administrators or TrustedInstaller");
}

TEST(ObjectFactsTest, FactsComeFromTheOpenedObject) {
    util::testing::TempFolder folder;
    const std::wstring user = util::win::CurrentUserSid();
    ASSERT_FALSE(user.empty());

    ObjectFacts facts;
    util::win::UniqueHandle held = util::files::OpenNoFollow(folder.Path(), FILE_LIST_DIRECTORY, FILE_SHARE_READ, facts, {});
    ASSERT_TRUE(held);
    EXPECT_EQ(facts.ownerSid, user);  // made by the test: its user owns it, on Windows too
    EXPECT_EQ(util::files::JudgePlace(facts, true), PlaceVerdict::UntrustedOwner);
    util::files::OpenNoFollow(folder.Path(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, facts, {{user}, L""});
    EXPECT_EQ(util::files::JudgePlace(facts, true), PlaceVerdict::Trusted);

    util::files::OpenNoFollow(folder.Path() + L"\\absent", 0, FILE_SHARE_READ, facts, {{user}, L""});
    EXPECT_EQ(util::files::JudgePlace(facts, false), PlaceVerdict::Missing);

    // A file made inside the held folder, then given a second name.
    const util::files::OwnerRule trustUser{{user}, L""};
    DWORD error = 0;
    util::win::UniqueHandle file =
        util::files::OpenInFolder(held.Get(), L"a.txt", GENERIC_WRITE | DELETE, FILE_SHARE_READ, true, error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(util::files::JudgePlace(util::files::FactsOf(file.Get(), L"", &trustUser), false), PlaceVerdict::Trusted);
    ASSERT_TRUE(::CreateHardLinkW((folder.Path() + L"\\b.txt").c_str(), (folder.Path() + L"\\a.txt").c_str(), nullptr));
    EXPECT_EQ(util::files::JudgePlace(util::files::FactsOf(file.Get(), L"", &trustUser), false), PlaceVerdict::HardLinked);

    // Opening without creating finds nothing new.
    EXPECT_FALSE(util::files::OpenInFolder(held.Get(), L"c.txt", GENERIC_READ, FILE_SHARE_READ, false, error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\c.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    // The open file moves over what holds the new name.
    std::ofstream(std::wstring(folder.Path() + L"\\old.txt").c_str()) << "old";
    ASSERT_TRUE(util::files::RenameByHandle(file.Get(), held.Get(), L"old.txt", true));
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    file.Reset();
    WIN32_FILE_ATTRIBUTE_DATA moved{};
    ASSERT_TRUE(::GetFileAttributesExW((folder.Path() + L"\\old.txt").c_str(), GetFileExInfoStandard, &moved));
    EXPECT_EQ(moved.nFileSizeLow, 0u);  // the empty file, not the old one
}

}  // namespace
