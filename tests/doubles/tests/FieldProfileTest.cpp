// The field profile's parser and look-ups, and the profile the benchmark uses (tests/field-profile.ini,
// named by SKELDA_FIELD_PROFILE) against the engine's catalogue.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "catalogue/CatalogueTables.h"
#include "FieldProfile.h"
#include "win/UniqueHandle.h"
#include "text/Base64.h"
#include "text/CommandLine.h"
#include "text/WideText.h"
#include "steps/AliasScript.h"
#include "catalogue/WmiAliasTable.h"

using namespace engine::catalogue;
using engine::steps::AliasCommandLine;
using util::text::Narrow;
using util::text::Quoted;
using util::text::Utf16Base64;
using util::text::Utf16FromBase64;
using util::text::Widen;
using util::win::UniqueHandle;
using namespace doubles;

namespace {

FieldProfile Parsed(const std::string& text) {
    FieldProfile profile;
    std::string error;
    EXPECT_TRUE(ParseFieldProfile(text, profile, error)) << error;
    return profile;
}

TEST(FieldProfileTest, CostsAreReadWithBusyPartAndLock) {
    const FieldProfile profile = Parsed(
        "\xEF\xBB\xBF; comment\r\n"
        "# another\r\n"
        "[PowerShell]\r\n"
        "each call = 1.0 busy 0.4\r\n"
        "  Win32_Product =  30 lock WindowsInstaller busy 3 \r\n"
        "Win32_PerfFormattedData_* = 2.25\r\n"
        "*CIMDataFile = 0.005\r\n"
        "\r\n"
        "[wevtutil]\n"
        "epl empty = 0.04\n");
    const FieldCost* process = FindFieldCost(profile, "powershell", "Each Call");
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->totalMs, 1000u);
    EXPECT_EQ(process->busyMs, 400u);
    EXPECT_EQ(process->lock, "");
    const FieldCost* product = FindFieldCost(profile, "POWERSHELL", "win32_product");
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->totalMs, 30000u);
    EXPECT_EQ(product->busyMs, 3000u);
    EXPECT_EQ(product->lock, "WindowsInstaller");
    ASSERT_NE(FindFieldCost(profile, "powershell", "Win32_PerfFormattedData_Tcpip_ICMP"), nullptr);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_PerfFormattedData_Tcpip_ICMP")->totalMs, 2250u);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_PnPSignedDriverCIMDataFile")->totalMs, 5u);
    EXPECT_EQ(FindFieldCost(profile, "wevtutil", "epl empty")->totalMs, 40u);
    // Neither a longer nor a shorter name matches an exact entry; no other tool shares entries.
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_ProductCheck"), nullptr);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_Produc"), nullptr);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_PerfRawData_PerfOS_Memory"), nullptr);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "CIMDataFileX"), nullptr);
    EXPECT_EQ(FindFieldCost(profile, "wmic", "Process"), nullptr);
    EXPECT_TRUE(profile.channels.empty());
}

TEST(FieldProfileTest, TheFirstMatchingEntryInFileOrderWins) {
    const FieldProfile profile = Parsed("[powershell]\nWin32_Product = 30\nWin32_* = 0.1\n*Product = 5\n* = 7\n");
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_Product")->totalMs, 30000u);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Win32_Fan")->totalMs, 100u);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "CIM_Product")->totalMs, 5000u);
    EXPECT_EQ(FindFieldCost(profile, "powershell", "Get-WindowsUpdateLog")->totalMs, 7000u);
}

TEST(FieldProfileTest, MalformedLinesAreRefusedWithTheirNumber) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"Process = 1\n", "line 1: every entry belongs to a section"},
        {"[wmic\nProcess = 1\n", "line 1:"},
        {"[]\n", "line 1:"},
        {"[wmic]\nProcess\n", "line 2:"},
        {"[wmic]\n= 1\n", "line 2:"},
        {"[wmic]\nProcess =\n", "line 2:"},
        {"[wmic]\nProcess = -1\n", "line 2:"},
        {"[wmic]\nProcess = 1,5\n", "line 2:"},
        {"[wmic]\nProcess = 1.\n", "line 2:"},
        {"[wmic]\nProcess = 1.2345\n", "line 2:"},
        {"[wmic]\nProcess = 3600.001\n", "line 2:"},
        {"[wmic]\nProcess = 1 busy 2\n", "line 2: busy time"},
        {"[wmic]\nProcess = 1 busy\n", "line 2:"},
        {"[wmic]\nProcess = 1 busy 0.5 busy 0.5\n", "line 2: unknown or repeated"},
        {"[wmic]\nProcess = 1 lock a lock b\n", "line 2: unknown or repeated"},
        {"[wmic]\nProcess = 1 wait 2\n", "line 2: unknown or repeated"},
        {"[wmic]\nPRODUCT = 1\n\nproduct = 2\n", "line 4:"},
        {"[wmic]\n[WMIC]\n", "line 2:"},
        {"[channels]\nSystem = big\n", "line 2: a channel is empty, events or large"},
        {"[channels]\nSystem\n; comment\nsystem = events\n", "line 4: channel"},
    };
    for (const auto& c : cases) {
        FieldProfile profile;
        std::string error;
        EXPECT_FALSE(ParseFieldProfile(c.text, profile, error)) << c.text;
        EXPECT_EQ(error.rfind(c.says, 0), 0u) << c.text << " -> " << error;
    }
    FieldProfile profile;
    std::string error;
    EXPECT_TRUE(ParseFieldProfile("[wmic]\nProcess = 3600 busy 3600\n[channels]\n", profile, error)) << error;
    EXPECT_TRUE(ParseFieldProfile("", profile, error)) << error;
}

TEST(FieldProfileTest, ChannelsKeepTheirOrderNamesAndKinds) {
    const FieldProfile profile = Parsed(
        "[channels]\n"
        "System = large\n"
        "Microsoft-Windows-Kernel-PnP/Device Management = Events\n"
        "Contoso-Sync%Operational\n"
        "  Windows PowerShell   = empty\n"
        "Microsoft-Windows-UserPnp/DeviceMetadata/Debug\n");
    ASSERT_EQ(profile.channels.size(), 5u);
    EXPECT_EQ(ChannelListing(profile),
              "System\r\nMicrosoft-Windows-Kernel-PnP/Device Management\r\nContoso-Sync%Operational\r\n"
              "Windows PowerShell\r\nMicrosoft-Windows-UserPnp/DeviceMetadata/Debug\r\n");
    ChannelKind kind = ChannelKind::Empty;
    ASSERT_TRUE(FindChannel(profile, "System", kind));
    EXPECT_EQ(kind, ChannelKind::Large);
    ASSERT_TRUE(FindChannel(profile, "Microsoft-Windows-Kernel-PnP/Device Management", kind));
    EXPECT_EQ(kind, ChannelKind::Events);
    ASSERT_TRUE(FindChannel(profile, "Windows PowerShell", kind));
    EXPECT_EQ(kind, ChannelKind::Empty);
    // The engine exports exactly the listed names: anything else is not a channel.
    EXPECT_FALSE(FindChannel(profile, "Windows", kind));
    EXPECT_FALSE(FindChannel(profile, "system ", kind));
    EXPECT_FALSE(FindChannel(profile, "", kind));
}

TEST(FieldProfileTest, PowershellCallsNameTheirClassesAndTheUpdateLog) {
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(PowershellFieldItems(Args{L"powershell", L"-NoProfile", L"-NonInteractive", L"-command",
                                        L"Get-WmiObject -Class Win32_PerfFormattedData_Tcpip_ICMP"}),
              std::vector<std::string>{"Win32_PerfFormattedData_Tcpip_ICMP"});
    EXPECT_EQ(PowershellFieldItems(Args{L"powershell", L"-command", L"Get-WindowsUpdateLog"}),
              std::vector<std::string>{"Get-WindowsUpdateLog"});
    EXPECT_TRUE(PowershellFieldItems(Args{L"powershell", L"-command", L"Get-Process"}).empty());
    // The engine's alias script, as it starts it: each class once, in the script's order.
    const std::wstring line =
        AliasCommandLine({FindWmiAlias(L"PRODUCT"), FindWmiAlias(L"CPU"), FindWmiAlias(L"OS")}, 600000);
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(line.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    const Args args(argv, argv + argc);
    ::LocalFree(argv);
    EXPECT_EQ(PowershellFieldItems(args),
              (std::vector<std::string>{"Win32_Product", "Win32_Processor", "Win32_OperatingSystem"}));
    EXPECT_TRUE(PowershellFieldItems(Args{L"powershell", L"-EncodedCommand", L"QQ=="}).empty());
    EXPECT_TRUE(PowershellFieldItems(Args{L"powershell", L"-EncodedCommand"}).empty());
}

// The benchmark's profile, read from the source tree.
FieldProfile BenchmarkProfile() {
    const char* path = std::getenv("SKELDA_FIELD_PROFILE");
    FieldProfile profile;
    if (!path) {
        ADD_FAILURE() << "SKELDA_FIELD_PROFILE names no file";
        return profile;
    }
    UniqueHandle file(::CreateFileW(Widen(path, CP_UTF8).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[65536];
    DWORD n = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    EXPECT_FALSE(text.empty()) << path;
    std::string error;
    EXPECT_TRUE(ParseFieldProfile(text, profile, error)) << error;
    return profile;
}

TEST(FieldProfileTest, BenchmarkProfileIsARealSizedWindows10) {
    const FieldProfile profile = BenchmarkProfile();
    size_t events = 0, large = 0;
    for (const auto& [name, kind] : profile.channels) {
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find_first_of("\"\r\n\t"), std::string::npos) << name;
        events += kind == ChannelKind::Events;
        large += kind == ChannelKind::Large;
    }
    EXPECT_GE(profile.channels.size(), 1000u);
    EXPECT_LE(profile.channels.size(), 1200u);
    EXPECT_GE(events, 24u);
    EXPECT_LE(events, 72u);
    EXPECT_GE(large, 8u);
    EXPECT_LE(large, 12u);
    for (const char* name : {"Application", "System", "Security", "Windows PowerShell"}) {
        ChannelKind kind = ChannelKind::Empty;
        EXPECT_TRUE(FindChannel(profile, name, kind) && kind == ChannelKind::Large) << name;
    }
    for (const char* item : {"epl empty", "epl events", "epl large", "el"})
        EXPECT_NE(FindFieldCost(profile, "wevtutil", item), nullptr) << item;
    for (const char* tool : {"powershell", "wmic", "systeminfo"})
        EXPECT_NE(FindFieldCost(profile, tool, kEachCall), nullptr) << tool;
}

TEST(FieldProfileTest, BenchmarkProfileSerialisesExactlyTheInstallerClassesOfTheCatalogue) {
    const FieldProfile profile = BenchmarkProfile();
    // Every class of the installed-applications folder comes from the Windows Installer provider;
    // no other class of the catalogue does.
    size_t installer = 0;
    for (const auto* table : {&WmiDeviceTable(), &WmiSystemTable()}) {
        for (const ClassFolder& folder : *table) {
            const bool installerFolder = std::wstring(folder.folder) == L"安装应用程序";
            for (const wchar_t* wmiClass : folder.classes) {
                const std::string name = Narrow(wmiClass, CP_UTF8);
                const FieldCost* cost = FindFieldCost(profile, "powershell", name);
                const bool locked = cost && cost->lock == "WindowsInstaller";
                EXPECT_EQ(locked, installerFolder) << name;
                installer += locked;
                const bool dataFile = name.size() > 11 && name.compare(name.size() - 11, 11, "CIMDataFile") == 0;
                const bool formatted = name.rfind("Win32_PerfFormattedData_", 0) == 0;
                if (dataFile || formatted) {
                    EXPECT_TRUE(cost && cost->totalMs == (dataFile ? 20000u : 2000u)) << name;
                } else if (!installerFolder) {
                    EXPECT_EQ(cost, nullptr) << name;
                }
            }
        }
    }
    EXPECT_EQ(installer, 7u);
    const FieldCost* product = FindFieldCost(profile, "wmic", "PRODUCT");
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->lock, "WindowsInstaller");
    for (const AliasFolder& folder : WmicTable())
        for (const AliasRow& row : folder.rows)
            EXPECT_EQ(FindFieldCost(profile, "wmic", Narrow(row.alias, CP_UTF8)) != nullptr,
                      std::wstring(row.alias) == L"PRODUCT") << Narrow(row.alias, CP_UTF8);
}

}  // namespace
