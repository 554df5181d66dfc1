#include <gtest/gtest.h>

#include "HandleFiles.h"
#include "LongPath.h"
#include "PrivateAccess.h"

using namespace skelda;

namespace {

TEST(LongPathTest, DrivesAndSharesTakeTheirLongFormOnce) {
    EXPECT_EQ(LongPath(L"C:\\a b\\中"), L"\\\\?\\C:\\a b\\中");
    EXPECT_EQ(LongPath(L"\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");
    EXPECT_EQ(LongPath(L"\\\\?\\C:\\a"), L"\\\\?\\C:\\a");
    EXPECT_EQ(LongPath(L"\\\\?\\UNC\\s\\t"), L"\\\\?\\UNC\\s\\t");
    // Not full paths: left for the system to resolve as before.
    EXPECT_EQ(LongPath(L"relative\\a"), L"relative\\a");
    EXPECT_EQ(LongPath(L"C:relative"), L"C:relative");
    EXPECT_EQ(LongPath(L"\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
    EXPECT_EQ(ShortForm(L"\\\\?\\UNC\\s\\t\\a"), L"\\\\s\\t\\a");
    EXPECT_EQ(ShortForm(L"\\\\?\\C:\\a"), L"C:\\a");
}

TEST(LongPathTest, SplitsTheRootFromTheNames) {
    PathParts drive = SplitFullPath(L"C:\\a\\\\b\\");
    ASSERT_TRUE(drive.valid);
    EXPECT_EQ(drive.root, L"C:\\");
    EXPECT_EQ(drive.names, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(JoinParts(drive, 0), L"C:\\");
    EXPECT_EQ(JoinParts(drive, 1), L"C:\\a");
    EXPECT_EQ(JoinParts(drive, 2), L"C:\\a\\b");

    // A share is a root: the folders below it are the ones a run may have to make.
    for (const wchar_t* unc : {L"\\\\srv\\share\\x\\y.7z", L"\\\\?\\UNC\\srv\\share\\x\\y.7z"}) {
        PathParts share = SplitFullPath(unc);
        ASSERT_TRUE(share.valid) << unc;
        EXPECT_EQ(share.root, L"\\\\srv\\share\\");
        EXPECT_EQ(share.names, (std::vector<std::wstring>{L"x", L"y.7z"}));
        EXPECT_EQ(LongPath(JoinParts(share, 1)), L"\\\\?\\UNC\\srv\\share\\x");
    }
    EXPECT_TRUE(SplitFullPath(L"\\\\?\\D:\\").valid);
    EXPECT_TRUE(SplitFullPath(L"\\\\?\\D:\\").names.empty());

    EXPECT_FALSE(SplitFullPath(L"relative\\a").valid);
    EXPECT_FALSE(SplitFullPath(L"\\\\srv").valid);  // a server without a share
    EXPECT_FALSE(SplitFullPath(L"C:\\a\\..\\b").valid);
    EXPECT_FALSE(SplitFullPath(L"C:\\a\\.\\b").valid);
    EXPECT_EQ(LastName(L"C:\\a\\b.7z"), L"b.7z");
    EXPECT_EQ(LastName(L"b.7z"), L"b.7z");
}

TEST(OwnerTrustTest, OnlyAdministrativeOwnersAndTheUser) {
    const std::wstring user = L"S-1-5-21-1-2-3-1001";
    EXPECT_TRUE(IsTrustedOwner(L"S-1-5-18", user));      // SYSTEM
    EXPECT_TRUE(IsTrustedOwner(L"S-1-5-32-544", user));  // Administrators
    EXPECT_TRUE(IsTrustedOwner(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", user));
    EXPECT_TRUE(IsTrustedOwner(user, user));
    EXPECT_FALSE(IsTrustedOwner(L"S-1-5-21-1-2-3-1002", user));  // another user
    EXPECT_FALSE(IsTrustedOwner(L"S-1-5-32-545", user));         // Users
    EXPECT_FALSE(IsTrustedOwner(L"S-1-1-0", user));              // Everyone
    EXPECT_FALSE(IsTrustedOwner(L"", L""));                      // unknown, even with no user known
    // A link made by the user could lead anywhere: only administrative owners count there.
    EXPECT_FALSE(IsAdministrativeOwner(user));
    EXPECT_TRUE(IsAdministrativeOwner(L"S-1-5-18"));
}

TEST(OwnerTrustTest, RunFoldersAreForAdministratorsAloneWhenTheRunIsElevated) {
    EXPECT_EQ(RunFolderSddl(L"S-1-5-21-9", true), L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    EXPECT_EQ(RunFolderSddl(L"S-1-5-21-9", false), L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-5-21-9)");
}

}  // namespace
