// The clean room on real (Wine) objects. Wine gives every file its one user as owner and keeps
// no list given at creation, so here that user is named trusted, as the test bed's machine
// names it (HKLM TrustedOwners); the room's own list is checked as built (AccessListsTest).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "files/CleanRoom.h"
#include "files/FileSystem.h"
#include "files/NoFollow.h"
#include "testing/TempFolder.h"
#include "text/LongPath.h"
#include "win/ProcessToken.h"
#include "win/UniqueHandle.h"

namespace {

using util::files::CleanRoom;
using util::files::Intake;
using util::testing::TempFolder;

constexpr wchar_t kPrefix[] = L"TestRoom-";
// SHA-256 of "abc".
constexpr char kAbcDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

util::files::OwnerRule TestBedOwners() { return {{util::win::CurrentUserSid()}, {}}; }

void MakeFile(const std::wstring& path, const char* content) {
    std::ofstream(util::text::LongPath(path).c_str(), std::ios::binary) << content;
}

std::string Read(const std::wstring& path) {
    std::ifstream in(util::text::LongPath(path).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(CleanRoomTest, NamesAreThePrefixAndSixteenLowercaseHexDigitsOnly) {
    EXPECT_EQ(util::files::RoomName(kPrefix, 0x0123456789abcdefULL), L"TestRoom-0123456789abcdef");
    EXPECT_EQ(util::files::RoomName(kPrefix, 0), L"TestRoom-0000000000000000");
    EXPECT_TRUE(util::files::IsRoomName(kPrefix, L"TestRoom-0123456789abcdef"));
    for (const wchar_t* foreign : {L"TestRoom-0123456789ABCDEF", L"TestRoom-0123456789abcde", L"TestRoom-0123456789abcdef0",
                                   L"TestRoomX0123456789abcdef", L"testroom-0123456789abcdef", L"TestRoom-0123456789abcdeg",
                                   L"TestRoom-"})
        EXPECT_FALSE(util::files::IsRoomName(kPrefix, foreign)) << foreign;
}

TEST(CleanRoomTest, ARoomIsMadeUnderANewNameHeldAndRemovedWithWhatItHolds) {
    TempFolder parent;
    CleanRoom room, other;
    std::wstring why;
    ASSERT_TRUE(room.Make(parent.Path(), kPrefix, TestBedOwners(), why)) << why;
    ASSERT_TRUE(other.Make(parent.Path(), kPrefix, TestBedOwners(), why)) << why;
    EXPECT_NE(room.Path(), other.Path());
    const std::wstring name = room.Path().substr(parent.Path().size() + 1);
    EXPECT_TRUE(util::files::IsRoomName(kPrefix, name)) << name;
    EXPECT_FALSE(::MoveFileW(room.Path().c_str(), (parent.Path() + L"\\moved").c_str())) << "held";
    // The engine holds the folders above its working folder as the room holds itself.
    EXPECT_TRUE(util::files::OpenNoFollow(room.Path(), util::files::kHoldAccess, util::files::kHoldShare));

    MakeFile(parent.Path() + L"\\engine.dll", "abc");
    EXPECT_EQ(room.TakeIn(parent.Path() + L"\\engine.dll", L"engine.dll", kAbcDigest, 1024, why), Intake::Taken) << why;
    EXPECT_EQ(room.TakeIn(parent.Path() + L"\\engine.dll", L"7z\\x64\\packer.exe", kAbcDigest, 1024, why), Intake::Taken)
        << why;
    EXPECT_EQ(Read(room.Path() + L"\\7z\\x64\\packer.exe"), "abc");
    const std::wstring path = room.Path();
    EXPECT_TRUE(room.Remove());
    EXPECT_FALSE(util::files::PathExists(path));
    EXPECT_TRUE(util::files::PathExists(parent.Path() + L"\\engine.dll")) << "the source stays";
}

TEST(CleanRoomTest, OnlyTheFileThatShippedGoesIn) {
    TempFolder parent;
    CleanRoom room;
    std::wstring why;
    ASSERT_TRUE(room.Make(parent.Path(), kPrefix, TestBedOwners(), why)) << why;
    const std::wstring source = parent.Path() + L"\\engine.dll";

    EXPECT_EQ(room.TakeIn(source, L"engine.dll", kAbcDigest, 1024, why), Intake::Missing);
    EXPECT_EQ(why, source + L" (error 2)");
    MakeFile(source, "abd");
    EXPECT_EQ(room.TakeIn(source, L"engine.dll", kAbcDigest, 1024, why), Intake::Different);
    EXPECT_EQ(why, source + L" is not the file that shipped");
    EXPECT_FALSE(util::files::PathExists(room.Path() + L"\\engine.dll"));
    MakeFile(source, "abc");
    EXPECT_EQ(room.TakeIn(source, L"engine.dll", kAbcDigest, 2, why), Intake::Different) << "past the size bound";

    // Open for writing elsewhere: it could change while it is read, so it is not read at all.
    {
        util::win::UniqueHandle writer(::CreateFileW(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        EXPECT_EQ(room.TakeIn(source, L"engine.dll", kAbcDigest, 1024, why), Intake::Unreadable);
    }
    // Data without a digest is taken as it is; a name taken twice is not overwritten.
    EXPECT_EQ(room.TakeIn(source, L"settings.ini", "", 1024, why), Intake::Taken) << why;
    EXPECT_EQ(room.TakeIn(source, L"settings.ini", "", 1024, why), Intake::Failed);
}

TEST(CleanRoomTest, ARoomWhoseOwnerIsNotTrustedIsRefused) {
    TempFolder parent;
    CleanRoom room;
    std::wstring why;
    // Nobody named: Wine's user, the owner of everything here, is then nobody trusted.
    EXPECT_FALSE(room.Make(parent.Path(), kPrefix, {}, why));
    EXPECT_NE(why.find(L"is owned by " + util::win::CurrentUserSid()), std::wstring::npos) << why;
    EXPECT_FALSE(room.Made());
}

TEST(CleanRoomTest, LeftRoomsGoButNotOnesInUseNewerOnesOrOthersOfSimilarNames) {
    TempFolder parent;
    const std::wstring left = parent.Path() + L"\\TestRoom-00000000000000aa";
    ASSERT_TRUE(::CreateDirectoryW(left.c_str(), nullptr));
    MakeFile(left + L"\\engine.dll", "abc");
    for (const wchar_t* foreign : {L"\\TestRoom-00000000000000AB", L"\\TestRoom-aa", L"\\TestRoomX00000000000000aa"})
        ASSERT_TRUE(::CreateDirectoryW((parent.Path() + foreign).c_str(), nullptr));
    MakeFile(parent.Path() + L"\\TestRoom-00000000000000bb", "a file of a room's name");
    CleanRoom live;
    std::wstring why;
    ASSERT_TRUE(live.Make(parent.Path(), kPrefix, TestBedOwners(), why)) << why;

    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER later{{now.dwLowDateTime, now.dwHighDateTime}};
    later.QuadPart += 10000000ULL;  // a second from now: everything above counts as older
    const FILETIME start{later.LowPart, later.HighPart};
    const FILETIME longAgo{0, 1};

    // Owned by nobody trusted: left alone. Made after the start: left alone.
    EXPECT_EQ(util::files::RemoveLeftRooms(parent.Path(), kPrefix, start, {}), 0);
    EXPECT_EQ(util::files::RemoveLeftRooms(parent.Path(), kPrefix, longAgo, TestBedOwners()), 0);
    EXPECT_TRUE(IsFolder(left));

    EXPECT_EQ(util::files::RemoveLeftRooms(parent.Path(), kPrefix, start, TestBedOwners()), 1);
    EXPECT_FALSE(util::files::PathExists(left));
    EXPECT_TRUE(IsFolder(live.Path())) << "a room in use stays";
    for (const wchar_t* foreign : {L"\\TestRoom-00000000000000AB", L"\\TestRoom-aa", L"\\TestRoomX00000000000000aa"})
        EXPECT_TRUE(IsFolder(parent.Path() + foreign)) << foreign;
    EXPECT_TRUE(util::files::PathExists(parent.Path() + L"\\TestRoom-00000000000000bb"));
}

}  // namespace
