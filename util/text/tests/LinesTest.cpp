#include <gtest/gtest.h>

#include "text/Lines.h"

namespace {

TEST(LinesTest, ThePackersMessagesOnOneLineForTheToolLog) {
    EXPECT_EQ(util::text::OneLineSummary(L""), L"");
    EXPECT_EQ(util::text::OneLineSummary(L"\r\n  \r\n"), L"");
    EXPECT_EQ(util::text::OneLineSummary(L"\r\nWARNING: The process cannot access the file\r\nC:\\w\\a b.txt\r\n\r\n"
                                           L"WARNINGS for files:\r\n\r\n  x : denied\r\n"),
              L"WARNING: The process cannot access the file | C:\\w\\a b.txt | WARNINGS for files: | x : denied");
    const std::wstring cut = util::text::OneLineSummary(std::wstring(50, L'x') + L"\n" + std::wstring(50, L'y'), 60);
    EXPECT_EQ(cut, std::wstring(50, L'x') + L" | " + std::wstring(7, L'y') + L"...");
}

TEST(LinesTest, LineBreaksBecomeBlanks) {
    EXPECT_EQ(util::text::OnOneLine(L"Access denied.\r\nat line 2\n"), L"Access denied.  at line 2 ");
}

}  // namespace
