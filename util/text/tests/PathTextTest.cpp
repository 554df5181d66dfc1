#include <gtest/gtest.h>

#include "text/CommandLine.h"
#include "text/PathText.h"

using namespace util::text;

namespace {

TEST(PathTextTest, JoinKeepsTheRootBackslashAndAddsOne) {
    EXPECT_EQ(JoinWithinCapacity(L"C:\\", L"a.7z", 260).value(), L"C:\\\\a.7z");
    EXPECT_EQ(JoinWithinCapacity(L"D:\\data", L"a.7z", 260).value(), L"D:\\data\\a.7z");
}

TEST(PathTextTest, JoinRefusesWhatDoesNotFitWithItsTerminator) {
    std::wstring folder(250, L'x');  // 250 + 1 + 8 = 259 characters, 260 with the terminator
    EXPECT_TRUE(JoinWithinCapacity(folder, L"12345678", 260).has_value());
    EXPECT_FALSE(JoinWithinCapacity(folder + L"y", L"12345678", 260).has_value());
}

TEST(PathTextTest, FolderOfFile) {
    EXPECT_EQ(FolderOfFile(L"C:\\a b\\OrvaneSkelda.dll"), L"C:\\a b\\");
    EXPECT_EQ(FolderOfFile(L"OrvaneSkelda.dll"), L"OrvaneSkelda.dll\\");
}

TEST(PathTextTest, FirstComponentAndTrailingBackslash) {
    EXPECT_EQ(FirstComponent(L"硬件\\温控设备"), L"硬件");
    EXPECT_EQ(FirstComponent(L"安装应用程序"), L"安装应用程序");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\x"), L"C:\\x\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(WithTrailingBackslash(L""), L"");
}

TEST(PathTextTest, ReplaceAllHandlesReplacementContainingThePattern) {
    EXPECT_EQ(ReplaceAll(L"a/b/c", L"/", L"%"), L"a%b%c");
    EXPECT_EQ(ReplaceAll(L"aa", L"a", L"aa"), L"aaaa");
}

TEST(CommandLineTest, InterpreterLineWrapsTheCommandInOneExtraPair) {
    EXPECT_EQ(InterpreterLine(L"C:\\windows\\system32\\cmd.exe", L"echo \"a&b\""),
              L"\"C:\\windows\\system32\\cmd.exe\" /D /S /C \"echo \"a&b\"\"");
}

}  // namespace
