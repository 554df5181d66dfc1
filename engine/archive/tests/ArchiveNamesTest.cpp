// Where the archive goes: the text rules of its names.
#include <gtest/gtest.h>

#include "archive/ArchiveNames.h"

namespace {

TEST(ArchiveNamesTest, ANameWithoutExtensionGetsOneAs7ZipWouldGiveIt) {
    EXPECT_EQ(engine::archive::WithArchiveExtension(L"D:\\out\\report"), L"D:\\out\\report.7z");
    EXPECT_EQ(engine::archive::WithArchiveExtension(L"D:\\out.d\\report"), L"D:\\out.d\\report.7z");  // the folder's dot is no extension
    EXPECT_EQ(engine::archive::WithArchiveExtension(L"D:\\out\\信息收集.7z"), L"D:\\out\\信息收集.7z");
    EXPECT_EQ(engine::archive::WithArchiveExtension(L"D:\\out\\a.zip"), L"D:\\out\\a.zip");
    EXPECT_EQ(engine::archive::WithArchiveExtension(L"\\\\srv\\share\\x"), L"\\\\srv\\share\\x.7z");
}

TEST(ArchiveNamesTest, OnlyOurOwnTemporaryNamesCountAsLeftOvers) {
    const std::wstring name = L"信息收集.7z";
    EXPECT_TRUE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z.4711.partial", name));
    EXPECT_TRUE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z.12.partial.7z", name));  // older versions' file
    EXPECT_TRUE(engine::archive::IsEarlierTemporaryName(L"A.7Z.1.PARTIAL", L"a.7z"));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z..partial", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z.12a.partial", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"信息收集.7z.12.partial.zip", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"其他.7z.12.partial", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L"x信息收集.7z.12.partial", name));
    EXPECT_FALSE(engine::archive::IsEarlierTemporaryName(L".12.partial", L""));
}

TEST(ArchiveNamesTest, AKeptArchiveIsNamedByTheTimeOfTheRun) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = 8, t.wHour = 7, t.wMinute = 2, t.wSecond = 9;
    EXPECT_EQ(engine::archive::KeptArchiveName(L"信息收集.7z", t, 1), L"信息收集 (2026-12-08 07.02.09).7z");
    EXPECT_EQ(engine::archive::KeptArchiveName(L"信息收集.7z", t, 3), L"信息收集 (2026-12-08 07.02.09 3).7z");
    EXPECT_EQ(engine::archive::KeptArchiveName(L"a.b.zip", t, 1), L"a.b (2026-12-08 07.02.09).zip");
    EXPECT_EQ(engine::archive::KeptArchiveName(L".7z", t, 1), L".7z (2026-12-08 07.02.09).7z");
}




TEST(ArchiveNamesTest, SitsInAFolderOfTheRunBesideTheTargetUnderTheTargetsName) {
    EXPECT_EQ(engine::archive::TemporaryFolderPath(L"D:\\x y\\信息收集.7z", 42), L"D:\\x y\\信息收集.7z.42.partial");
    EXPECT_EQ(engine::archive::TemporaryArchivePath(L"D:\\x y\\信息收集.7z", 42), L"D:\\x y\\信息收集.7z.42.partial\\信息收集.7z");
}

}  // namespace
