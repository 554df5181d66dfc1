#include <gtest/gtest.h>

#include "text/LongPath.h"

using namespace util::text;

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

}  // namespace
