#include "summary/WmicText.h"

#include <gtest/gtest.h>

#include "summary/ToolText.h"
#include "summary/tests/Captures.h"

namespace engine::summary {
namespace {

using testing::AsWmicWrites;

std::vector<Properties> ListFullOf(const char* capture) {
    return ParseListFull(DecodeToolText(AsWmicWrites(capture), 936));
}

TEST(WmicTextTest, ListFullReadsRealReports) {
    const std::vector<Properties> bios = ListFullOf("wmic-bios-list-full.txt");
    ASSERT_EQ(bios.size(), 1u);
    EXPECT_EQ(bios[0].Get(L"Manufacturer"), L"Phoenix Technologies LTD");
    EXPECT_EQ(bios[0].Get(L"SMBIOSBIOSVersion"), L"6.00");
    EXPECT_EQ(bios[0].Get(L"ReleaseDate"), L"20120920000000.000000+000");
    EXPECT_EQ(bios[0].Get(L"Version"), L"INTEL  - 6040000");  // inner blanks kept
    ASSERT_NE(bios[0].Find(L"BuildNumber"), nullptr);          // present, empty
    EXPECT_TRUE(bios[0].Find(L"BuildNumber")->empty());
    EXPECT_EQ(bios[0].Find(L"NoSuchProperty"), nullptr);

    const std::vector<Properties> services = ListFullOf("wmic-service-list-full.txt");
    ASSERT_GE(services.size(), 2u);
    EXPECT_EQ(services[0].Get(L"Name"), L"AeLookupSvc");
    EXPECT_EQ(services[1].Get(L"Name"), L"ALG");
    EXPECT_EQ(services[1].Get(L"ExitCode"), L"1077");
    EXPECT_EQ(services[1].Get(L"pathname"), L"C:\\Windows\\System32\\alg.exe");  // names without case

    EXPECT_EQ(ListFullOf("wmic-computersystem-list-full.txt").at(0).Get(L"Model"), L"20DCA09BCD");
    EXPECT_EQ(ListFullOf("wmic-cpu-list-full.txt").at(0).Get(L"Name"), L"Intel(R) Core(TM) i7-6700HQ CPU @ 2.60GHz");
}

TEST(WmicTextTest, ListFullKeepsALineBreakInsideAValue) {
    const std::vector<Properties> instances =
        ParseListFull(L"\r\n\r\nDescription=first\r\nsecond line\r\nName=x\r\n\r\n\r\nName=y\r\n\r\n\r\n");
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[0].Get(L"Description"), L"first\nsecond line");
    EXPECT_EQ(instances[1].Get(L"Name"), L"y");
    EXPECT_TRUE(ParseListFull(L"").empty());
    EXPECT_TRUE(ParseListFull(L"No Instance(s) Available.\r\n").empty());
}

TEST(WmicTextTest, TableReadsTheRealOsReportByColumn) {
    const std::vector<Properties> rows = ParseTable(DecodeToolText(AsWmicWrites("wmic-os-table.txt"), 936));
    ASSERT_EQ(rows.size(), 1u);
    const Properties& os = rows[0];
    EXPECT_EQ(os.Get(L"BuildNumber"), L"6001");
    EXPECT_EQ(os.Get(L"Caption"), L"Microsoft\uFFFD Windows Server\uFFFD 2008 Enterprise");
    EXPECT_EQ(os.Get(L"Version"), L"6.0.6001");
    EXPECT_EQ(os.Get(L"LastBootUpTime"), L"20220922115509.500000+600");
    EXPECT_EQ(os.Get(L"TotalVisibleMemorySize"), L"1046924");
    ASSERT_NE(os.Find(L"PlusVersionNumber"), nullptr);
    EXPECT_TRUE(os.Find(L"PlusVersionNumber")->empty());
}

TEST(WmicTextTest, TableColumnsCountCharactersNotBytes) {
    // WMIC pads Chinese values by characters, as the engine's own table layout does.
    const std::vector<Properties> rows =
        ParseTable(L"Caption                   OSArchitecture  Version     \r\n"
                   L"Microsoft Windows 10 专业版  64 位            10.0.19045  \r\n"
                   L"short                     32 位            6.1.7601    \r\n\r\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Get(L"Caption"), L"Microsoft Windows 10 专业版");
    EXPECT_EQ(rows[0].Get(L"OSArchitecture"), L"64 位");
    EXPECT_EQ(rows[1].Get(L"Version"), L"6.1.7601");
    EXPECT_TRUE(ParseTable(L"\r\n").empty());
}

TEST(WmicTextTest, NumbersAreWholeAndBounded) {
    unsigned long long n = 7;
    EXPECT_TRUE(ParseNumber(L" 255953203200 ", n));
    EXPECT_EQ(n, 255953203200ull);
    EXPECT_FALSE(ParseNumber(L"", n));
    EXPECT_FALSE(ParseNumber(L"-1", n));
    EXPECT_FALSE(ParseNumber(L"12a", n));
    EXPECT_FALSE(ParseNumber(L"99999999999999999999", n));  // past 64 bits
}

}  // namespace
}  // namespace engine::summary
