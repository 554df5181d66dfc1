#include <gtest/gtest.h>

#include <string>

#include "toollog/LogSettings.h"

namespace {

using toollog::LogSettings;

TEST(LogSettingsTest, ReadsSectionsAndKeysAsTheProfileFunctionsDo) {
    const LogSettings settings = LogSettings::Parse(
        "; comment\r\n[log]\r\n  PRINT =  1 \r\n[Limits]\r\nRunSeconds=\"30\"\r\nRunSeconds=40\r\n"
        "CommandSeconds=\r\n;LongCommandSeconds=5\r\n[Other]\r\nLongCommandSeconds=6\n");
    EXPECT_EQ(settings.Value(L"Log", L"print"), std::wstring(L"1"));
    EXPECT_EQ(settings.Value(L"LIMITS", L"runseconds"), std::wstring(L"30"));  // the first wins, quotes go
    EXPECT_EQ(settings.Value(L"Limits", L"CommandSeconds"), std::wstring(L""));
    EXPECT_EQ(settings.Value(L"Limits", L"LongCommandSeconds"), std::nullopt);  // commented, or elsewhere
    EXPECT_EQ(settings.Value(L"Missing", L"print"), std::nullopt);
    EXPECT_EQ(LogSettings().Value(L"Log", L"print"), std::nullopt);
}

TEST(LogSettingsTest, Utf16AndUtf8WithTheirMarks) {
    const std::string utf8 = "\xEF\xBB\xBF[Limits]\r\nRunSeconds=7\r\n";
    EXPECT_EQ(LogSettings::Parse(utf8).Value(L"Limits", L"RunSeconds"), std::wstring(L"7"));
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[Limits]\r\nRunSeconds=8\r\n")) utf16 += std::string(1, c) + '\0';
    EXPECT_EQ(LogSettings::Parse(utf16).Value(L"Limits", L"RunSeconds"), std::wstring(L"8"));
}

}  // namespace
