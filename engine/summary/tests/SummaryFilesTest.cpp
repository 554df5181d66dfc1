#include "summary/SummaryFiles.h"

#include <gtest/gtest.h>

#include "files/FileSystem.h"
#include "testing/TempFolder.h"
#include "win/UniqueHandle.h"

namespace engine::summary {
namespace {

// The files a summary reads on disk: whole or their end, and what is not there told apart from
// what is there but cannot be opened.
TEST(SummaryFilesTest, ReadsWholeOrTheEndAndTellsAHeldFileFromAMissingOne) {
    util::testing::TempFolder folder(L" 概要");
    ::CreateDirectoryW((folder.Path() + L"\\日志").c_str(), nullptr);
    const std::wstring log = folder.Path() + L"\\日志\\CBS.log";
    ASSERT_TRUE(util::files::WriteFileBytes(log, "0123456789"));
    const FolderSources sources(folder.Path());

    SourceFile whole = sources.Read(L"日志/CBS.log", 64);
    EXPECT_TRUE(whole.present);
    EXPECT_EQ(whole.bytes, "0123456789");
    EXPECT_FALSE(whole.tail);
    SourceFile end = sources.Read(L"日志/CBS.log", 4);
    EXPECT_TRUE(end.tail);
    EXPECT_EQ(end.bytes, "6789");
    EXPECT_EQ(end.size, 10u);
    EXPECT_EQ(sources.Files(L"日志"), std::vector<std::wstring>{L"CBS.log"});

    const SourceFile missing = sources.Read(L"日志/gone.log", 64);
    EXPECT_FALSE(missing.present);
    EXPECT_EQ(missing.readError, 0u);
    EXPECT_FALSE(sources.Read(L"日志", 64).present);  // a folder is no file
    EXPECT_TRUE(sources.Files(L"nowhere").empty());

    util::win::UniqueHandle held(::CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const SourceFile locked = sources.Read(L"日志/CBS.log", 64);
    EXPECT_FALSE(locked.present);
    EXPECT_EQ(locked.readError, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
}

}  // namespace
}  // namespace engine::summary
