// The clean start on real (Wine) objects, in a room parent of the test's own. Wine gives every
// file its one user as owner: the test names that user trusted, as the test bed's machine does.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "CleanStart.h"
#include "DistFolder.h"
#include "ShippedFiles.h"
#include "files/FileSystem.h"
#include "files/FolderWalker.h"
#include "testing/TempFolder.h"
#include "win/ProcessToken.h"
#include "win/Sha256.h"
#include "win/UniqueHandle.h"

namespace {

using cleanroom::ShippedFile;
using cleanroom::StartFault;
using util::testing::TempFolder;

util::files::OwnerRule TestBedOwners() { return {{util::win::CurrentUserSid()}, {}}; }

void MakeFile(const std::wstring& path, const std::string& content) {
    std::ofstream(path.c_str(), std::ios::binary) << content;
}

std::string Digest(const std::string& content) { return util::win::Sha256OfBytes(content.data(), content.size()); }

std::string DigestOfFile(const std::wstring& path) {
    util::win::UniqueHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return util::win::Sha256OfFile(file.Get());
}

int RoomsIn(const std::wstring& parent) {
    int rooms = 0;
    util::files::ListFolder(parent, L"*", [&](const util::files::FolderEntry& entry) {
        if (util::files::IsRoomName(cleanroom::kRoomPrefix, entry.name)) ++rooms;
    });
    return rooms;
}

class CleanStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW((program_.Path() + L"\\7z").c_str(), nullptr));
        MakeFile(program_.Path() + L"\\engine.dll", "engine");
        MakeFile(program_.Path() + L"\\7z\\packer.exe", "packer");
        MakeFile(program_.Path() + L"\\settings.ini", "[a]");
        files_ = {{L"engine.dll", ShippedFile::Kind::Code, Digest("engine"), true},
                  {L"7z\\packer.exe", ShippedFile::Kind::Code, Digest("packer"), true},
                  {L"settings.ini", ShippedFile::Kind::Data, "", false}};
    }
    StartFault Begin(cleanroom::CleanStart& start, std::wstring& why) {
        return start.Begin(parent_.Path(), program_.Path(), files_, TestBedOwners(), why);
    }

    TempFolder parent_{L" system temp"};
    TempFolder program_{L" 下载 (program)"};
    std::vector<ShippedFile> files_;
};

TEST_F(CleanStartTest, TheRoomHoldsTheShippedFilesAndGoesAtTheEnd) {
    // A room a killed start left goes first; this start's comes anew.
    const std::wstring left = parent_.Path() + L"\\" + util::files::RoomName(cleanroom::kRoomPrefix, 0xabc);
    ASSERT_TRUE(::CreateDirectoryW(left.c_str(), nullptr));
    {
        util::win::UniqueHandle folder(::CreateFileW(left.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        const FILETIME lastYear{0, 0x01db0000};  // long before this test process started
        ASSERT_TRUE(::SetFileTime(folder.Get(), nullptr, nullptr, &lastYear));
    }
    cleanroom::CleanStart start;
    std::wstring why;
    ASSERT_EQ(Begin(start, why), StartFault::None) << why;
    EXPECT_FALSE(util::files::PathExists(left));
    EXPECT_EQ(RoomsIn(parent_.Path()), 1);
    EXPECT_EQ(start.Folder().rfind(parent_.Path() + L"\\OrvaneSkelda-", 0), 0u) << start.Folder();
    EXPECT_EQ(DigestOfFile(start.Folder() + L"\\7z\\packer.exe"), Digest("packer"));
    EXPECT_EQ(DigestOfFile(start.Folder() + L"\\settings.ini"), Digest("[a]"));
    EXPECT_TRUE(start.End());
    EXPECT_EQ(RoomsIn(parent_.Path()), 0);
}

TEST_F(CleanStartTest, AMissingOrChangedFileRefusesTheStartAndLeavesNoRoom) {
    cleanroom::CleanStart start;
    std::wstring why;
    ::DeleteFileW((program_.Path() + L"\\settings.ini").c_str());
    EXPECT_EQ(Begin(start, why), StartFault::None) << "settings are optional: " << why;
    start.End();

    MakeFile(program_.Path() + L"\\7z\\packer.exe", "a planted packer");
    EXPECT_EQ(Begin(start, why), StartFault::FileDifferent);
    EXPECT_EQ(why, program_.Path() + L"\\7z\\packer.exe is not the file that shipped");
    EXPECT_EQ(RoomsIn(parent_.Path()), 0);

    ::DeleteFileW((program_.Path() + L"\\engine.dll").c_str());
    EXPECT_EQ(Begin(start, why), StartFault::FileMissing);
    EXPECT_EQ(RoomsIn(parent_.Path()), 0);

    // Code whose digest the build did not take matches nothing.
    MakeFile(program_.Path() + L"\\engine.dll", "engine");
    MakeFile(program_.Path() + L"\\7z\\packer.exe", "packer");
    files_[1].sha256.clear();
    EXPECT_EQ(Begin(start, why), StartFault::FileDifferent);
}

TEST_F(CleanStartTest, ADotLocalBesideTheProgramOrAnUnnarrowedSearchRefusesLoading) {
    EXPECT_EQ(cleanroom::JudgeLoading(true, false), StartFault::None);
    EXPECT_EQ(cleanroom::JudgeLoading(true, true), StartFault::DotLocal);
    EXPECT_EQ(cleanroom::JudgeLoading(false, true), StartFault::SearchNotNarrowed);
    const std::wstring program = program_.Path() + L"\\Tool.exe";
    EXPECT_FALSE(cleanroom::DotLocalBeside(program));
    MakeFile(program + L".local", "");  // an empty file turns the redirection on as a folder does
    EXPECT_TRUE(cleanroom::DotLocalBeside(program));
    ::DeleteFileW((program + L".local").c_str());
    ASSERT_TRUE(::CreateDirectoryW((program + L".local").c_str(), nullptr));
    EXPECT_TRUE(cleanroom::DotLocalBeside(program));
}

// The digests built into the programs are those of the files that ship.
TEST(ShippedFilesTest, TheBuiltDigestsAreThoseOfTheShippedFiles) {
    const std::wstring dist = outside::testing::DistFolder();
    for (const bool windows64 : {false, true}) {
        const auto program = cleanroom::ShippedFilesFor(cleanroom::Starter::Program, windows64);
        const auto host = cleanroom::ShippedFilesFor(cleanroom::Starter::ConsoleHost, windows64);
        EXPECT_EQ(program.size(), 5u);
        ASSERT_EQ(host.size(), 2u);
        EXPECT_EQ(host[1].name, windows64 ? L"7z\\x64\\7zx64.exe" : L"7z\\x86\\7zx86.exe");
        for (const ShippedFile& file : program) {
            if (file.kind == ShippedFile::Kind::Data) continue;
            EXPECT_EQ(file.sha256, DigestOfFile(dist + L"\\" + file.name)) << file.name.c_str();
        }
        for (const ShippedFile& file : host) EXPECT_EQ(file.kind, ShippedFile::Kind::Code) << file.name.c_str();
    }
}

}  // namespace
