// The packer that shipped is the only one started: held against change from its check, and
// started with every path quoted.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DistFolder.h"
#include "archive/Packer.h"
#include "testing/TempFolder.h"
#include "testing/TestPrograms.h"
#include "win/Sha256.h"
#include "win/UniqueHandle.h"

namespace {

using engine::testing::TestProgram;
using util::testing::TempFolder;
using util::win::UniqueHandle;

// A copy of the test program stands in for the packer: its own digest is the expected one.
class PackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        packer_ = folder_.Path() + L"\\7zx64.exe";
        ASSERT_TRUE(::CopyFileW(TestProgram().c_str(), packer_.c_str(), FALSE));
        UniqueHandle file(::CreateFileW(packer_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
        digest_ = util::win::Sha256OfFile(file.Get());
        ASSERT_EQ(digest_.size(), 64u);
    }
    TempFolder folder_;
    std::wstring packer_;
    std::string digest_;
};

TEST_F(PackerTest, TheExpectedFileIsHeldAgainstWritingRenamingAndDeletingAndStillStarts) {
    UniqueHandle held;
    ASSERT_EQ(engine::archive::HoldPacker(packer_, digest_, held), engine::archive::PackerState::Held);
    ASSERT_TRUE(held);
    const std::wstring other = folder_.Path() + L"\\other.exe";
    EXPECT_FALSE(::DeleteFileW(packer_.c_str()));
    EXPECT_FALSE(::MoveFileW(packer_.c_str(), other.c_str()));
    EXPECT_FALSE(UniqueHandle(::CreateFileW(packer_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                            FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr)));
    const engine::child::ChildResult started = engine::testing::Capture(packer_, L"7zx64 args started");
    EXPECT_TRUE(started.started);
    EXPECT_EQ(started.output, L"[started]\r\n");
    held.Reset();
    EXPECT_TRUE(::DeleteFileW(packer_.c_str())) << "released once the check's handle closes";
}

TEST_F(PackerTest, AnotherProgramOrNoneIsRefusedAndNothingStaysHeld) {
    UniqueHandle held;
    std::string other = digest_;
    other[0] = other[0] == '0' ? '1' : '0';
    EXPECT_EQ(engine::archive::HoldPacker(packer_, other, held), engine::archive::PackerState::NotShipped);
    EXPECT_FALSE(held);
    EXPECT_TRUE(::DeleteFileW(packer_.c_str())) << "nothing held after a refusal";
    EXPECT_EQ(engine::archive::HoldPacker(packer_, digest_, held), engine::archive::PackerState::Missing);
    EXPECT_FALSE(held);
}

TEST(ShippedPackerTest, TheBuiltPackersAreTheOnesTheEngineExpects) {
    for (const bool x64 : {false, true}) {
        UniqueHandle held;
        const std::wstring packer = engine::archive::PackerPath(outside::testing::DistFolder() + L"\\", x64);
        EXPECT_EQ(engine::archive::HoldPacker(packer, engine::archive::ShippedPackerDigest(x64), held), engine::archive::PackerState::Held)
            << (x64 ? "x64" : "x86");
    }
    EXPECT_NE(std::string(engine::archive::ShippedPackerDigest(false)), engine::archive::ShippedPackerDigest(true));
}


TEST(PackerCommandTest, EveryPathIsQuoted) {
    EXPECT_EQ(engine::archive::PackerCommandLine(engine::archive::PackerPath(L"C:\\a b&(c)\\", false),
                                                 L"C:\\a b&(c)\\SystemInfoLog", L"D:\\x y\\信息收集.7z"),
              L"\"C:\\a b&(c)\\7z\\x86\\7zx86.exe\" a -t7z \"D:\\x y\\信息收集.7z\" "
              L"\"C:\\a b&(c)\\SystemInfoLog\\*\" -m0=BCJ -m1=LZMA:d=21 -ms -mmt");
    EXPECT_EQ(engine::archive::PackerPath(L"M\\", true), L"M\\7z\\x64\\7zx64.exe");
    EXPECT_TRUE(engine::archive::PackerSucceeded(0));
    EXPECT_TRUE(engine::archive::PackerSucceeded(1));
    EXPECT_FALSE(engine::archive::PackerSucceeded(2));
    EXPECT_FALSE(engine::archive::PackerSucceeded(255));
}

}  // namespace
