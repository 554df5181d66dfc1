// Answer times and the lines of the answer record.
#include <gtest/gtest.h>

#include <windows.h>

#include "FeedbackRecord.h"
#include "TimeText.h"

namespace {

FILETIME FileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    st.wMilliseconds = ms;
    FILETIME ft = {};
    EXPECT_TRUE(::SystemTimeToFileTime(&st, &ft));
    return ft;
}

TEST(TimeText, SecondsSince1970FromFileTimes) {
    EXPECT_EQ(outside::UnixSecondsFromFileTime(FileTimeOf(2020, 1, 1, 0, 0, 0)), 1577836800);
    EXPECT_EQ(outside::UnixSecondsFromFileTime(FileTimeOf(1970, 1, 1, 0, 0, 0)), 0);
    EXPECT_EQ(outside::UnixSecondsFromFileTime(FileTimeOf(2020, 1, 1, 0, 0, 0, 999)), 1577836800);  // whole seconds
    EXPECT_EQ(outside::UnixSecondsFromFileTime(FileTimeOf(1969, 12, 31, 23, 59, 59, 500)), -1);     // rounded down
    EXPECT_EQ(outside::UnixSecondsFromFileTime(FileTimeOf(2038, 1, 19, 3, 14, 8)), 2147483648LL);   // past 32 bits
}

TEST(TimeText, ReadsOnlyWhatPercentDWrites) {
    EXPECT_EQ(outside::ParseTimeText(L"1577836800"), 1577836800);
    EXPECT_EQ(outside::ParseTimeText(L"0"), 0);
    EXPECT_EQ(outside::ParseTimeText(L"-1"), -1);
    EXPECT_EQ(outside::ParseTimeText(L"2147483647"), 2147483647);
    EXPECT_EQ(outside::ParseTimeText(L"-2147483648"), INT32_MIN);
    for (const wchar_t* text : {L"", L"-", L"+1", L" 1", L"1 ", L"12a", L"2147483648", L"-2147483649",
                                L"99999999999999999999", L"1.5"}) {
        EXPECT_FALSE(outside::ParseTimeText(text)) << testing::PrintToString(std::wstring(text));
    }
    EXPECT_FALSE(outside::ParseTimeText(nullptr));
}

TEST(TimeText, UtcDateAndTime) {
    EXPECT_EQ(outside::UtcText(1577836800), "2020-01-01 00:00:00");
    EXPECT_EQ(outside::UtcText(0), "1970-01-01 00:00:00");
    EXPECT_EQ(outside::UtcText(-1), "1969-12-31 23:59:59");
    EXPECT_EQ(outside::UtcText(951782400), "2000-02-29 00:00:00");   // leap day of a century year
    EXPECT_EQ(outside::UtcText(4107542400LL), "2100-03-01 00:00:00");  // 2100 has no 29 February
    EXPECT_EQ(outside::UtcText(2147483647), "2038-01-19 03:14:07");
    EXPECT_EQ(outside::UtcText(INT32_MIN), "1901-12-13 20:45:52");
    EXPECT_EQ(outside::UtcText(1577836800 + 86399), "2020-01-01 23:59:59");
}

TEST(RecordLine, FiveTabSeparatedFieldsInUtf8OnOneLine) {
    EXPECT_EQ(outside::RecordLine(1577836800, 5, L"Skelda", L"V 1.0"),
              "1577836800\t2020-01-01 00:00:00\t5\tSkelda\tV 1.0\r\n");
    EXPECT_EQ(outside::RecordLine(-1, 4, L"工具", L""), "-1\t1969-12-31 23:59:59\t4\t\xE5\xB7\xA5\xE5\x85\xB7\t\r\n");
    EXPECT_EQ(outside::RecordLine(0, 6, L"a\tb\r\nc", L"1\n"), "0\t1970-01-01 00:00:00\t6\ta b  c\t1 \r\n");
}

}  // namespace
