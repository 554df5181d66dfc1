#include <gtest/gtest.h>

#include "Catalogue.h"

using namespace skelda;

namespace {

TEST(WmicCommandTest, OnlyUpperCaseOsTakesTheShortForm) {
    EXPECT_EQ(WmicCommand(L"OS", L"C:\\W", L"已安装操作系统的管理"),
              L"WMIC OS >\"C:\\W\\已安装操作系统的管理.txt\"");
    EXPECT_EQ(WmicCommand(L"os", L"C:\\W", L"d"), L"WMIC os LIST FULL >\"C:\\W\\d.txt\"");
    EXPECT_EQ(WmicCommand(L"Os", L"C:\\W", L"d"), L"WMIC Os LIST FULL >\"C:\\W\\d.txt\"");
    EXPECT_EQ(WmicCommand(L"OS ", L"C:\\W", L"d"), L"WMIC OS  LIST FULL >\"C:\\W\\d.txt\"");
    EXPECT_EQ(WmicCommand(L"CSPRODUCT", L"C:\\W", L"d"), L"WMIC CSPRODUCT LIST FULL >\"C:\\W\\d.txt\"");
}

TEST(WmicCommandTest, ReportPathIsQuotedWhole) {
    const std::wstring folder = L"C:\\Program Files (x86)\\R&D tools\\SystemInfoLog\\硬件\\温控设备";
    EXPECT_EQ(WmicCommand(L"TEMPERATURE", folder, L"温度传感器(电子温度计)数据管理"),
              L"WMIC TEMPERATURE LIST FULL >\"" + folder + L"\\温度传感器(电子温度计)数据管理.txt\"");
}

TEST(WmiClassCommandTest, ClassExpressionAndReportPathAreQuoted) {
    EXPECT_EQ(WmiClassCommand(L"Win32_Fan", L"D:\\a b\\SystemInfoLog\\硬件\\温控设备", L"Fan"),
              L"powershell -command \"Get-WmiObject -Class Win32_Fan\" "
              L">\"D:\\a b\\SystemInfoLog\\硬件\\温控设备\\Fan.txt\"");
    EXPECT_EQ(WmiClassCommand(L"Win32_NTEventlogFile",
                              L"C:\\x&y (1)\\SystemInfoLog\\操作系统\\Windows NT的事件日志",
                              L"NTEventlogFile"),
              L"powershell -command \"Get-WmiObject -Class Win32_NTEventlogFile\" "
              L">\"C:\\x&y (1)\\SystemInfoLog\\操作系统\\Windows NT的事件日志\\NTEventlogFile.txt\"");
}

}  // namespace
