#include <gtest/gtest.h>

#include "toollog/LogEntries.h"
#include "toollog/LogLine.h"
#include "text/WideText.h"

namespace {

TEST(LogLineTest, EntryBytesAreStampThreeBlanksGbkTextAndCrCrLf) {
    SYSTEMTIME t{};
    t.wYear = 2026; t.wMonth = 3; t.wDay = 7;
    t.wHour = 9; t.wMinute = 5; t.wSecond = 2; t.wMilliseconds = 7;
    const std::string text = util::text::Narrow(toollog::EntryText(toollog::Entry::PackingFailed), util::text::kGbkCodePage);
    // 生成压缩包失败 in GBK
    ASSERT_EQ(text, "\xC9\xFA\xB3\xC9\xD1\xB9\xCB\xF5\xB0\xFC\xCA\xA7\xB0\xDC");
    EXPECT_EQ(toollog::EntryBytes(t, text), "[2026-03-07 09:05:02 007ms]   " + text + "\r\r\n");
}

TEST(LogLineTest, LineFeedsInsideTheTextGetACarriageReturn) {
    SYSTEMTIME t{};
    t.wYear = 2026; t.wMonth = 12; t.wDay = 31;
    t.wHour = 23; t.wMinute = 59; t.wSecond = 59; t.wMilliseconds = 999;
    EXPECT_EQ(toollog::EntryBytes(t, "a\nb"), "[2026-12-31 23:59:59 999ms]   a\r\nb\r\r\n");
}

TEST(LogLineTest, PrintSwitchIsOnOnlyForTheIntegerOne) {
    EXPECT_TRUE(toollog::PrintSwitchOn(L"1"));
    EXPECT_TRUE(toollog::PrintSwitchOn(L"  1\t "));
    EXPECT_TRUE(toollog::PrintSwitchOn(L"01"));
    EXPECT_TRUE(toollog::PrintSwitchOn(L"+1"));
    EXPECT_TRUE(toollog::PrintSwitchOn(L"1yes"));
    EXPECT_FALSE(toollog::PrintSwitchOn(L"2"));
    EXPECT_FALSE(toollog::PrintSwitchOn(L"yes"));
    EXPECT_FALSE(toollog::PrintSwitchOn(L""));
    EXPECT_FALSE(toollog::PrintSwitchOn(L"-1"));
    EXPECT_FALSE(toollog::PrintSwitchOn(L"11"));
}

TEST(LogLineTest, EveryEntryTextIsRepresentableInGbk) {
    for (int i = 0; i <= static_cast<int>(toollog::Entry::Worker4PriorityFailed); ++i) {
        const std::wstring text = toollog::EntryText(static_cast<toollog::Entry>(i));
        ASSERT_FALSE(text.empty()) << i;
        BOOL lossy = FALSE;
        ::WideCharToMultiByte(util::text::kGbkCodePage, 0, text.c_str(), -1, nullptr, 0, nullptr, &lossy);
        EXPECT_FALSE(lossy) << i;
    }
}

}  // namespace
