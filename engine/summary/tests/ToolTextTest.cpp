#include "summary/ToolText.h"

#include <gtest/gtest.h>

namespace engine::summary {
namespace {

TEST(ToolTextTest, EachEncodingAToolWritesIsReadBack) {
    // WMIC: UTF-16LE after its mark; PowerShell 5 files: UTF-8 after its mark.
    EXPECT_EQ(DecodeToolText(std::string("\xFF\xFE" "C\0:\0\x7B\x78", 8), 936), L"C:\u787B");
    EXPECT_EQ(DecodeToolText("\xEF\xBB\xBF\xE7\xA1\xBB", 936), L"\u787B");
    // UTF-16LE without a mark (a tool writing wide characters to a file).
    EXPECT_EQ(DecodeToolText(std::string("E\0v\0e\0n\0t\0[\0", 12), 936), L"Event[");
    // A console tool on a Chinese PC: code page 936 ("磁盘" in GBK).
    EXPECT_EQ(DecodeToolText("\xB4\xC5\xC5\xCC", 936), L"\u78C1\u76D8");
    EXPECT_EQ(DecodeToolText("", 936), L"");
}

TEST(ToolTextTest, LinesSplitAtEveryKindOfBreak) {
    const std::vector<std::wstring> lines = SplitLines(L"a\r\nb\nc\rd\r\n\r\ne");
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"", L"e"}));
    EXPECT_TRUE(SplitLines(L"").empty());
    EXPECT_EQ(SplitLines(L"x\r\n"), std::vector<std::wstring>{L"x"});
    // WMIC's doubled CR must not turn each property into an instance of its own.
    EXPECT_EQ(SplitLines(L"Name=a\r\r\nState=b\r\r\n\r\r\n"), (std::vector<std::wstring>{L"Name=a", L"State=b", L""}));
}

TEST(ToolTextTest, NamesCompareWithoutCaseOnlyForAsciiLetters) {
    EXPECT_TRUE(ContainsNoCase(L"Installation FAILURE: x", L"installation failure"));
    EXPECT_TRUE(StartsWithNoCase(L"SetupAPI.dev.log", L"setupapi.dev"));
    EXPECT_FALSE(StartsWithNoCase(L"setup", L"setupapi"));
    EXPECT_EQ(Trimmed(L" \t x y \t"), L"x y");
    EXPECT_EQ(Trimmed(L" \t "), L"");
}

}  // namespace
}  // namespace engine::summary
