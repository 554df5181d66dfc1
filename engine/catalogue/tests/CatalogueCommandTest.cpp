#include <gtest/gtest.h>

#include "Catalogue.h"

using namespace skelda;

namespace {

TEST(WmicReportTest, OnlyUpperCaseOsTakesTheShortForm) {
    const ToolReport os = WmicReport(L"OS", L"C:\\W", L"已安装操作系统的管理");
    EXPECT_EQ(os.program, L"wbem\\WMIC.exe");
    EXPECT_EQ(os.commandLine, L"WMIC OS");
    EXPECT_EQ(os.reportPath, L"C:\\W\\已安装操作系统的管理.txt");
    EXPECT_EQ(WmicReport(L"os", L"C:\\W", L"d").commandLine, L"WMIC os LIST FULL");
    EXPECT_EQ(WmicReport(L"Os", L"C:\\W", L"d").commandLine, L"WMIC Os LIST FULL");
    EXPECT_EQ(WmicReport(L"OS ", L"C:\\W", L"d").commandLine, L"WMIC OS  LIST FULL");
    EXPECT_EQ(WmicReport(L"CSPRODUCT", L"C:\\W", L"d").commandLine, L"WMIC CSPRODUCT LIST FULL");
}

TEST(WmicReportTest, ReportPathKeepsEveryCharacterAndNothingReachesTheCommandLine) {
    const std::wstring folder = L"C:\\Program Files (x86)\\R&D %PATH% tools!\\SystemInfoLog\\硬件\\温控设备";
    const ToolReport r = WmicReport(L"TEMPERATURE", folder, L"温度传感器(电子温度计)数据管理");
    EXPECT_EQ(r.reportPath, folder + L"\\温度传感器(电子温度计)数据管理.txt");
    EXPECT_EQ(r.commandLine, L"WMIC TEMPERATURE LIST FULL");
}

TEST(WmiClassReportTest, PowerShellWithoutProfileOrPromptsAndTheClassQuoted) {
    const ToolReport r = WmiClassReport(L"Win32_Fan", L"D:\\a b\\SystemInfoLog\\硬件\\温控设备", L"Fan");
    EXPECT_EQ(r.program, L"WindowsPowerShell\\v1.0\\powershell.exe");
    EXPECT_EQ(r.commandLine, L"powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_Fan\"");
    EXPECT_EQ(r.reportPath, L"D:\\a b\\SystemInfoLog\\硬件\\温控设备\\Fan.txt");
}

}  // namespace
