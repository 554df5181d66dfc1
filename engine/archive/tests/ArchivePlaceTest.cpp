// The archive's place on real (Wine) file-system objects.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "archive/ArchiveNames.h"
#include "files/NoFollow.h"
#include "text/LongPath.h"
#include "files/AccessLists.h"
#include "archive/ArchivePlace.h"
#include "archive/WorkingFolder.h"
#include "testing/TempFolder.h"
#include "win/UniqueHandle.h"
#include "win/ProcessToken.h"

namespace {

using util::text::LongPath;
using util::testing::TempFolder;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const std::wstring& path, const char* content) {
    std::ofstream(LongPath(path).c_str(), std::ios::binary) << content;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(LongPath(path).c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

FILETIME Now() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return now;
}

void SetWriteTime(const std::wstring& path, const FILETIME& time) {
    util::win::UniqueHandle object(::CreateFileW(LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(object);
    ASSERT_TRUE(::SetFileTime(object.Get(), nullptr, nullptr, &time));
}

FILETIME HoursFrom(const FILETIME& time, int hours) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += static_cast<LONGLONG>(hours) * 36000000000LL;
    return FILETIME{value.LowPart, value.HighPart};
}

class ArchivePlaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(access_.Build());
        user_ = util::win::CurrentUserSid();
    }
    engine::archive::ArchivePlace::Access Access() { return {user_, access_.Descriptor(), access_.Descriptor()}; }
    // The place prepared for target, and content where the packer writes.
    void Pack(engine::archive::ArchivePlace& place, const std::wstring& target, const char* content) {
        std::wstring reason;
        ASSERT_TRUE(place.Prepare(target, Access(), Now(), reason)) << reason;
        ASSERT_TRUE(place.ClearTemporaryArchive());
        MakeFile(place.TemporaryArchive(), content);
        ASSERT_TRUE(place.TemporaryArchiveWritten());
    }

    TempFolder root_{L" 位置 (x)&y"};
    util::files::AccessList access_;
    std::wstring user_;
};



TEST_F(ArchivePlaceTest, TheTargetIsResolvedMadeAndProvenWritableBeforeCollecting) {
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryW(root_.Path().c_str()));
    engine::archive::ArchivePlace place;
    std::wstring reason;
    const bool prepared = place.Prepare(L"新 目录\\report", Access(), Now(), reason);
    ::SetCurrentDirectoryW(before);
    ASSERT_TRUE(prepared) << reason;
    // Relative to the current folder, with the extension 7-Zip would add.
    EXPECT_EQ(place.Target(), root_.Path() + L"\\新 目录\\report.7z");
    EXPECT_TRUE(Exists(root_.Path() + L"\\新 目录"));
    EXPECT_EQ(place.TemporaryArchive(), engine::archive::TemporaryArchivePath(place.Target(), ::GetCurrentProcessId()));
    EXPECT_TRUE(Exists(place.TemporaryArchive()));  // the empty file that proved the place
    EXPECT_FALSE(Exists(place.Target()));
    EXPECT_TRUE(place.ClearTemporaryArchive());
    EXPECT_FALSE(place.TemporaryArchiveWritten());
    place.Discard();
    EXPECT_FALSE(Exists(place.PackingFolder()));
}

TEST_F(ArchivePlaceTest, APlaceThatCannotTakeTheArchiveIsRefused) {
    engine::archive::ArchivePlace place;
    std::wstring reason;
    ASSERT_TRUE(::CreateDirectoryW((root_.Path() + L"\\a folder.7z").c_str(), nullptr));
    EXPECT_FALSE(place.Prepare(root_.Path() + L"\\a folder.7z", Access(), Now(), reason));
    EXPECT_NE(reason.find(L"names a folder"), std::wstring::npos) << reason;

    MakeFile(root_.Path() + L"\\afile", "x");
    reason.clear();
    EXPECT_FALSE(place.Prepare(root_.Path() + L"\\afile\\sub\\x.7z", Access(), Now(), reason));
    EXPECT_EQ(reason, L"not a folder: " + root_.Path() + L"\\afile");
    EXPECT_FALSE(place.Prepare(L"", Access(), Now(), reason));
    EXPECT_FALSE(place.Prepared());
}

TEST_F(ArchivePlaceTest, AFinishedArchiveReplacesTheTargetOrIsKeptBesideItButNeverLost) {
    const std::wstring target = root_.Path() + L"\\信息收集.7z";
    MakeFile(target, "old");
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    auto pack = [&](engine::archive::ArchivePlace& place, const char* content) { Pack(place, target, content); };

    engine::archive::ArchivePlace first;
    pack(first, "first");
    const engine::archive::ArchivePlace::Settled settled = first.Settle(access_.Descriptor(), now);
    EXPECT_EQ(settled.place, target);
    EXPECT_TRUE(settled.atPlace);
    EXPECT_FALSE(settled.accessFailed);
    EXPECT_EQ(ReadFile(target), "first");
    EXPECT_FALSE(Exists(first.PackingFolder()));

    // The earlier archive open in a viewer that does not share it: the new one is kept beside.
    engine::archive::ArchivePlace second;
    pack(second, "second");
    {
        util::win::UniqueHandle viewer(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(viewer);
        const std::wstring kept = root_.Path() + L"\\" + engine::archive::KeptArchiveName(L"信息收集.7z", now, 1);
        EXPECT_EQ(second.Settle(access_.Descriptor(), now).place, kept);
        EXPECT_EQ(ReadFile(kept), "second");
    }
    EXPECT_EQ(ReadFile(target), "first");
    EXPECT_FALSE(Exists(second.PackingFolder()));
}

// A scanner or sync agent opens the new archive without delete sharing within milliseconds of
// its writing. Settling waits for it; where it never lets go, the archive stays where the packer
// wrote it, and letting go of the place does not delete it.
TEST_F(ArchivePlaceTest, AnArchiveHeldWithoutDeleteSharingIsWaitedForAndNeverDeleted) {
    const std::wstring target = root_.Path() + L"\\信息收集.7z";
    auto holder = [](const std::wstring& path) {
        return util::win::UniqueHandle(
            ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    };

    engine::archive::ArchivePlace briefly;
    Pack(briefly, target, "held a moment");
    util::win::UniqueHandle scanner = holder(briefly.TemporaryArchive());
    ASSERT_TRUE(scanner);
    int pauses = 0;
    const auto settled = briefly.Settle(access_.Descriptor(), SYSTEMTIME{}, [&](DWORD) {
        if (++pauses == 3) scanner.Reset();  // the scan ends while the engine waits
    });
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(settled.place, target);
    EXPECT_TRUE(settled.atPlace);
    EXPECT_EQ(ReadFile(target), "held a moment");

    engine::archive::ArchivePlace forever;
    Pack(forever, target, "never let go");
    util::win::UniqueHandle agent = holder(forever.TemporaryArchive());
    ASSERT_TRUE(agent);
    DWORD waited = 0;
    const auto kept = forever.Settle(access_.Descriptor(), SYSTEMTIME{}, [&](DWORD ms) { waited += ms; });
    EXPECT_GE(waited, 30000u);  // about half a minute of the clock the test passed in
    EXPECT_LE(waited, 32000u);
    EXPECT_EQ(kept.place, forever.TemporaryArchive());
    EXPECT_TRUE(kept.atPlace);
    agent.Reset();
    forever.Discard();
    EXPECT_EQ(ReadFile(forever.TemporaryArchive()), "never let go");
    EXPECT_EQ(ReadFile(target), "held a moment");
}

TEST_F(ArchivePlaceTest, AKeptArchiveSurvivesDiscard) {
    const std::wstring target = root_.Path() + L"\\信息收集.7z";
    std::wstring reason;
    engine::archive::ArchivePlace place;
    Pack(place, target, "packed");
    place.KeepTemporaryArchive();
    place.Discard();  // a failure after packing: the archive stays
    EXPECT_EQ(ReadFile(place.TemporaryArchive()), "packed");

    engine::archive::ArchivePlace unpacked;  // nothing kept: the packing folder goes
    ASSERT_TRUE(unpacked.Prepare(root_.Path() + L"\\other.7z", Access(), Now(), reason)) << reason;
    unpacked.Discard();
    EXPECT_FALSE(Exists(unpacked.PackingFolder()));
}

TEST_F(ArchivePlaceTest, PathsPastMaxPathWork) {
    std::wstring deep = root_.Path();
    while (deep.size() < 300) deep += L"\\长目录名称 long folder name";
    const std::wstring target = deep + L"\\信息收集.7z";
    engine::archive::ArchivePlace place;
    std::wstring reason;
    ASSERT_TRUE(place.Prepare(target, Access(), Now(), reason)) << reason;
    ASSERT_TRUE(place.ClearTemporaryArchive());
    MakeFile(place.TemporaryArchive(), "deep");
    EXPECT_EQ(place.Settle(access_.Descriptor(), SYSTEMTIME{}).place, target);
    EXPECT_EQ(ReadFile(target), "deep");

    engine::archive::WorkingFolderHold hold;
    ASSERT_TRUE(hold.Make(deep + L"\\SystemInfoLog", access_.Attributes(), reason)) << reason;
    MakeFile(deep + L"\\SystemInfoLog\\a.txt", "x");
    hold.Remove();
    EXPECT_FALSE(Exists(deep + L"\\SystemInfoLog"));
    EXPECT_TRUE(util::files::RemoveNoFollow(root_.Path() + L"\\长目录名称 long folder name"));
}

TEST_F(ArchivePlaceTest, OnlyOurOwnEarlierTemporariesGoAndNotOnesInUseOrNewer) {
    const std::wstring folder = root_.Path();
    const FILETIME start = Now();
    const FILETIME old = HoursFrom(start, -2);
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\a.7z.11.partial").c_str(), nullptr));
    MakeFile(folder + L"\\a.7z.11.partial\\a.7z", "half");
    SetWriteTime(folder + L"\\a.7z.11.partial", old);
    MakeFile(folder + L"\\a.7z.12.partial.7z", "older version's");
    SetWriteTime(folder + L"\\a.7z.12.partial.7z", old);
    MakeFile(folder + L"\\a.7z.13.partial.7z", "newer than the run");
    SetWriteTime(folder + L"\\a.7z.13.partial.7z", HoursFrom(start, 1));
    MakeFile(folder + L"\\b.7z.14.partial.7z", "another archive's");
    SetWriteTime(folder + L"\\b.7z.14.partial.7z", old);
    MakeFile(folder + L"\\a.7z.15.partial.7z", "still being written");
    SetWriteTime(folder + L"\\a.7z.15.partial.7z", old);
    util::win::UniqueHandle writer(::CreateFileW((folder + L"\\a.7z.15.partial.7z").c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);

    engine::archive::ArchivePlace place;
    std::wstring reason;
    ASSERT_TRUE(place.Prepare(folder + L"\\a.7z", Access(), start, reason)) << reason;
    EXPECT_FALSE(Exists(folder + L"\\a.7z.11.partial"));
    EXPECT_FALSE(Exists(folder + L"\\a.7z.12.partial.7z"));
    EXPECT_TRUE(Exists(folder + L"\\a.7z.13.partial.7z"));
    EXPECT_TRUE(Exists(folder + L"\\b.7z.14.partial.7z"));
    EXPECT_TRUE(Exists(folder + L"\\a.7z.15.partial.7z"));
    place.Discard();
}

}  // namespace
