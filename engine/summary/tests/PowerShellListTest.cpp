#include "summary/PowerShellList.h"

#include <gtest/gtest.h>

#include "summary/ToolText.h"
#include "summary/tests/Captures.h"

namespace engine::summary {
namespace {

TEST(PowerShellListTest, ReadsRealGetWmiObjectOutput) {
    const std::vector<Properties> devices =
        ParsePowerShellList(DecodeToolText(testing::AsConsoleWrites("ps-win32_pnpentity.txt"), 936));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].Get(L"__CLASS"), L"Win32_PnPEntity");
    EXPECT_EQ(devices[0].Get(L"ConfigManagerErrorCode"), L"0");
    EXPECT_EQ(devices[0].Get(L"Name"), L"Silicon Labs CP210x USB to UART Bridge (COM18)");
    EXPECT_EQ(devices[0].Get(L"DeviceID"), L"USB\\VID_10C4&PID_EA60\\0001");
    // "Availability                :" holds nothing, and is there.
    ASSERT_NE(devices[0].Find(L"Availability"), nullptr);
    EXPECT_TRUE(devices[0].Find(L"Availability")->empty());

    const std::vector<Properties> os =
        ParsePowerShellList(DecodeToolText(testing::AsConsoleWrites("ps-win32_operatingsystem.txt"), 936));
    ASSERT_EQ(os.size(), 1u);
    EXPECT_EQ(os[0].Get(L"BuildNumber"), L"2600");
    EXPECT_EQ(os[0].Get(L"SystemDirectory"), L"C:\\WINDOWS\\system32");
}

TEST(PowerShellListTest, AWrappedValueIsOneValueAndBlankStretchesSeparateInstances) {
    const std::vector<Properties> instances = ParsePowerShellList(
        L"\r\n\r\nName         : first\r\nHardwareID   : {PCI\\VEN_8086&DEV_A0E8, PCI\\VEN_8086&DEV_A0E8&CC_0C80,\r\n"
        L"               PCI\\VEN_8086}\r\nValue : a : b\r\n\r\n\r\nName         : second\r\n"
        L"Get-WmiObject : Access denied\r\n");
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[0].Get(L"HardwareID"),
              L"{PCI\\VEN_8086&DEV_A0E8, PCI\\VEN_8086&DEV_A0E8&CC_0C80, PCI\\VEN_8086}");
    EXPECT_EQ(instances[0].Get(L"Value"), L"a : b");  // only the first " : " separates
    EXPECT_EQ(instances[1].Get(L"Name"), L"second");
    EXPECT_TRUE(ParsePowerShellList(L"").empty());
}

}  // namespace
}  // namespace engine::summary
