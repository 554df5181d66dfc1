#include <gtest/gtest.h>

#include <string>

#include "win/Sha256.h"
#include "testing/TempFolder.h"
#include "win/UniqueHandle.h"

namespace {

using util::win::UniqueHandle;

std::string DigestOf(const std::string& bytes) {
    util::testing::TempFolder folder;
    const std::wstring path = folder.Path() + L"\\data.bin";
    {
        UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            return "cannot write";
    }
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return util::win::Sha256OfFile(file.Get());
}

TEST(Sha256Test, KnownDigestsOfEmptyShortAndManyReadsLongFiles) {
    EXPECT_EQ(DigestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(DigestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // A million "a": more than one read of the file, and a last read that is not full.
    EXPECT_EQ(DigestOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Test, AFileThatCannotBeReadHasNoDigest) {
    EXPECT_EQ(util::win::Sha256OfFile(INVALID_HANDLE_VALUE), "");
    util::testing::TempFolder folder;
    const std::wstring path = folder.Path() + L"\\write-only.bin";
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), "abc", 3, &written, nullptr));
    ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    EXPECT_EQ(util::win::Sha256OfFile(file.Get()), "") << "a handle without read access";
}

}  // namespace
