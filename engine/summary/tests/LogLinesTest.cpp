#include "summary/LogLines.h"

#include <gtest/gtest.h>

#include "summary/ToolText.h"
#include "summary/tests/Captures.h"

namespace engine::summary {
namespace {

std::wstring Capture(const char* name) { return DecodeToolText(testing::AsConsoleWrites(name), 936); }

TEST(LogLinesTest, FailedUpdatesInBothLayoutsOfTheUpdateLog) {
    // Windows 7: tab-separated; the install of KB3172605 ends in FATAL 0x80070308, the report of a
    // successful install before it is not a failure.
    const std::vector<LogLine> seven = FailedUpdateLines(Capture("windowsupdate-win7.log.txt"));
    ASSERT_EQ(seven.size(), 2u);
    EXPECT_EQ(seven[0].number, 9u);
    EXPECT_EQ(seven[0].time, L"2016-10-31 11:25:11:755");
    EXPECT_NE(seven[1].text.find(L"hr=0x80070308"), std::wstring::npos);

    // Windows 10's Get-WindowsUpdateLog: "*FAILED* [80072F8F]", without "0x".
    const std::vector<LogLine> ten = FailedUpdateLines(Capture("windowsupdate-win10.log.txt"));
    EXPECT_EQ(ten.size(), 8u);
    EXPECT_EQ(ten[0].time, L"2025/02/26 15:35:10.4405516");

    EXPECT_TRUE(FailedUpdateLines(L"2016-10-31\t11:24:48:755\t1524\t17ac\tReport\tReporter successfully uploaded 5 events.")
                    .empty());
}

TEST(LogLinesTest, CorruptionLinesAreTheOnesThatReportSome) {
    const std::vector<LogLine> found = CorruptionLines(Capture("cbs-corruption.log.txt"));
    std::vector<std::wstring> texts;
    for (const LogLine& line : found) texts.push_back(line.text.substr(0, 24));
    // Three corrupt components, the detected count and its one kind above zero, the repaired
    // count; the kinds counted 0 are not corruption.
    EXPECT_EQ(found.size(), 6u);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Total Detected Corruptio"), texts.end());
    for (const LogLine& line : found) EXPECT_EQ(line.text.find(L": 0"), std::wstring::npos) << line.text;

    EXPECT_TRUE(CorruptionLines(Capture("cbs-clean.log.txt")).empty());
    EXPECT_TRUE(CorruptionLines(Capture("cbs-sfc-repair.log.txt")).empty());
    EXPECT_TRUE(CorruptionLines(Capture("cbs-csi-error.log.txt")).empty());
    EXPECT_TRUE(CorruptionLines(L"2024-01-02 10:00:00, Info CBS No component store corruption detected.").empty());
    const std::vector<LogLine> sfc =
        CorruptionLines(L"2024-01-02 10:00:00, Info                  CSI    00000008 [SR] Cannot repair member file x");
    ASSERT_EQ(sfc.size(), 1u);
    EXPECT_EQ(sfc[0].time, L"2024-01-02 10:00:00");
}

TEST(LogLinesTest, AFailedDeviceInstallIsItsSectionWithTheFirstError) {
    const std::vector<DeviceInstall> failed = FailedDeviceInstalls(Capture("setupapi-dev-failure.log.txt"));
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].title, L"Device Install (Hardware initiated) - USB\\VID_046D&PID_C534\\5&bd89ed7&0&2");
    EXPECT_EQ(failed[0].start, L"2020/01/20 17:26:03.547");
    EXPECT_EQ(failed[0].status, L"FAILURE(0xe0000248)");
    EXPECT_EQ(failed[0].firstError.find(L"pol:"), 0u);
    EXPECT_EQ(failed[0].line, 1u);

    EXPECT_TRUE(FailedDeviceInstalls(Capture("setupapi-dev-success.log.txt")).empty());
    // A failed section that installs nothing is not a device install; an unended one is no verdict.
    EXPECT_TRUE(FailedDeviceInstalls(L">>>  [Delete Driver Package - oem1.inf]\n<<<  [Exit status: FAILURE(0x1)]\n"
                                     L">>>  [Device Install - X]\n>>>  Section start 2020/01/01 00:00:00.000\n")
                    .empty());
}

}  // namespace
}  // namespace engine::summary
