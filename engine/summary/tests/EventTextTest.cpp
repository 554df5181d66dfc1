#include "summary/EventText.h"

#include <gtest/gtest.h>

#include "summary/ToolText.h"
#include "summary/tests/Captures.h"

namespace engine::summary {
namespace {

std::vector<EventEntry> Parsed(const char* capture) {
    return ParseEventText(DecodeToolText(testing::AsConsoleWrites(capture), 936));
}

TEST(EventTextTest, ReadsRealEventsInTheTextLayout) {
    const std::vector<EventEntry> error = Parsed("wevtutil-qe-text-error.txt");
    ASSERT_EQ(error.size(), 1u);
    EXPECT_EQ(error[0].log, L"System");
    EXPECT_EQ(error[0].source, L"Microsoft-Windows-DistributedCOM");
    EXPECT_EQ(error[0].date, L"2017-03-02T21:21:08.135");
    EXPECT_EQ(error[0].id, L"10016");
    EXPECT_EQ(error[0].level, EventLevel::Error);

    // A header without its colon, and a description of many lines, kept whole.
    const std::vector<EventEntry> crash = Parsed("wevtutil-qe-text-application.txt");
    ASSERT_EQ(crash.size(), 1u);
    EXPECT_EQ(crash[0].source, L"Application Error");
    EXPECT_EQ(crash[0].description.find(L"Faulting application name: radare2.exe"), 0u);
    EXPECT_NE(crash[0].description.find(L"\nException code: 0xc0000409\n"), std::wstring::npos);
    EXPECT_EQ(crash[0].description.back(), L':');  // the last line, trailing blank stretch trimmed

    EXPECT_EQ(Parsed("wevtutil-qe-text.txt").at(0).level, EventLevel::Information);
}

TEST(EventTextTest, AChinesePcsLevelsAndAnyLanguagesLabelsRead) {
    // Real: on a Chinese PC the labels stay English, the level's name is Chinese.
    const std::vector<EventEntry> zh = Parsed("wevtutil-qe-text-zh.txt");
    ASSERT_EQ(zh.size(), 3u);
    EXPECT_EQ(zh[0].levelText, L"信息");
    EXPECT_EQ(zh[0].level, EventLevel::Information);
    EXPECT_EQ(zh[1].description, L"系统已从睡眠状态恢复。");
    // Labels in another language are taken by their place.
    const std::vector<EventEntry> other = ParseEventText(
        L"Event[0]:\r\n  Protokollname: System\r\n  Quelle: disk\r\n  Datum: 2024-05-01T10:00:00.000\r\n"
        L"  Ereignis-ID: 7\r\n  Aufgabe: N/A\r\n  Ebene: 错误\r\n  Opcode: N/A\r\n  Schlüsselwort: Klassisch\r\n"
        L"  Benutzer: N/A\r\n  Benutzername: N/A\r\n  Computer: PC\r\n  Beschreibung: \r\nDer Treiber hat einen "
        L"Controllerfehler auf \\Device\\Harddisk1\\DR1 gefunden.\r\n");
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].source, L"disk");
    EXPECT_EQ(other[0].id, L"7");
    EXPECT_EQ(other[0].level, EventLevel::Error);
    EXPECT_EQ(other[0].description.find(L"Der Treiber"), 0u);
}

TEST(EventTextTest, LevelNamesAndNothingElse) {
    EXPECT_EQ(LevelOfName(L"Critical"), EventLevel::Critical);
    EXPECT_EQ(LevelOfName(L"关键"), EventLevel::Critical);
    EXPECT_EQ(LevelOfName(L"警告"), EventLevel::Warning);
    EXPECT_TRUE(ParseEventText(L"").empty());
    EXPECT_TRUE(ParseEventText(L"Failed to query events.\r\n").empty());
    EXPECT_TRUE(ParseEventText(L"Event[x]:\r\n  Log Name: System\r\n").empty());
}

}  // namespace
}  // namespace engine::summary
