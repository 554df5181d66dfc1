#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "catalogue/Catalogue.h"

using namespace engine::catalogue;

namespace {

struct Built {
    FolderCatalogue wmic, device, system;
    Built() { EXPECT_EQ(BuildCatalogues(wmic, device, system), 1); }
};

const Built& Catalogues() {
    static const Built built;
    return built;
}

size_t RowCount(const FolderCatalogue& c) {
    size_t n = 0;
    for (const auto& folder : c) n += folder.second.size();
    return n;
}

std::vector<std::wstring> Keys(const std::vector<CatalogueRow>& rows) {
    std::vector<std::wstring> keys;
    for (const auto& row : rows) keys.push_back(row.key);
    return keys;
}

struct Named {
    const char* name;
    const FolderCatalogue& (*get)();
};
const Named kAll[] = {
    {"wmic", [] () -> const FolderCatalogue& { return Catalogues().wmic; }},
    {"wmiDevice", [] () -> const FolderCatalogue& { return Catalogues().device; }},
    {"wmiSystem", [] () -> const FolderCatalogue& { return Catalogues().system; }},
};

TEST(CatalogueSizeTest, FoldersAndRowsPerCatalogue) {
    EXPECT_EQ(Catalogues().wmic.size(), 20u);
    EXPECT_EQ(RowCount(Catalogues().wmic), 71u);
    EXPECT_EQ(Catalogues().device.size(), 10u);
    EXPECT_EQ(RowCount(Catalogues().device), 83u);
    EXPECT_EQ(Catalogues().system.size(), 19u);
    EXPECT_EQ(RowCount(Catalogues().system), 76u);
}

TEST(CatalogueSizeTest, SecondBuildChangesNothing) {
    FolderCatalogue wmic, device, system;
    ASSERT_EQ(BuildCatalogues(wmic, device, system), 1);
    ASSERT_EQ(BuildCatalogues(wmic, device, system), 1);
    EXPECT_EQ(wmic, Catalogues().wmic);
    EXPECT_EQ(device, Catalogues().device);
    EXPECT_EQ(system, Catalogues().system);
}

TEST(CatalogueOrderTest, FirstAndLastFolders) {
    const auto& wmic = Catalogues().wmic;
    EXPECT_EQ(wmic.begin()->first, L"安装应用程序");
    EXPECT_EQ(wmic.rbegin()->first, L"硬件\\视频设备");

    const auto& system = Catalogues().system;
    EXPECT_EQ(system.begin()->first, L"安装应用程序");
    EXPECT_EQ(std::next(system.begin())->first, L"操作系统\\COM");
    EXPECT_EQ(std::next(system.begin(), 2)->first, L"操作系统\\Windows NT的事件日志");
    EXPECT_EQ(system.rbegin()->first, L"操作系统\\驱动程序");

    // The device worker does both performance-counter folders before any hardware folder.
    const auto& device = Catalogues().device;
    auto it = device.begin();
    EXPECT_EQ(it->first, L"性能计数器\\原始性能计数器");
    EXPECT_EQ((++it)->first, L"性能计数器\\格式化性能计数器");
    EXPECT_EQ((++it)->first, L"硬件\\主板、控制器、端口");
    EXPECT_EQ(device.rbegin()->first, L"硬件\\输入设备");
}

TEST(CatalogueOrderTest, IterationFollowsWcscmp) {
    for (const Named& c : kAll) {
        const FolderCatalogue& cat = c.get();
        for (auto a = cat.begin(), b = std::next(a); b != cat.end(); ++a, ++b)
            EXPECT_LT(std::wcscmp(a->first.c_str(), b->first.c_str()), 0) << c.name;
    }
}

TEST(CatalogueOrderTest, KeysCompareByCodeUnitNotCodePoint) {
    // U+10000 is the pair D800 DC00, which sorts before U+FF21 by code unit although its code
    // point is higher; upper case sorts before lower case; a prefix sorts first.
    FolderCatalogue c;
    for (const wchar_t* key : {L"\xFF21", L"\xD800\xDC00", L"b", L"B", L"B\\x", L"性能计数器"})
        EnterFolder(c, key, {});
    std::vector<std::wstring> order;
    for (const auto& folder : c) order.push_back(folder.first);
    const std::vector<std::wstring> expected = {L"B", L"B\\x", L"b", L"性能计数器", L"\xD800\xDC00",
                                                L"\xFF21"};
    EXPECT_EQ(order, expected);
    EXPECT_LT(std::wcscmp(L"\xD800\xDC00", L"\xFF21"), 0);
}

TEST(CatalogueOrderTest, EnteringAPresentFolderKeepsItsRows) {
    FolderCatalogue c;
    EnterFolder(c, L"硬件\\打印", {{L"PRINTER", L"打印机设备管理"}});
    EnterFolder(c, L"硬件\\打印", {{L"PRINTJOB", L"打印作业管理"}, {L"X", L"y"}});
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(Keys(c.at(L"硬件\\打印")), std::vector<std::wstring>{L"PRINTER"});
}

TEST(CatalogueRowsTest, MotherboardAliasesKeepTableOrder) {
    const auto keys = Keys(Catalogues().wmic.at(L"硬件\\主板、控制器、端口"));
    ASSERT_EQ(keys.size(), 17u);
    EXPECT_EQ(keys.front(), L"BASEBOARD");
    EXPECT_EQ(keys.back(), L"CPU");
    const auto port = std::find(keys.begin(), keys.end(), L"PORT");
    ASSERT_NE(port, keys.end());
    EXPECT_EQ(*std::next(port), L"IRQ");
}

TEST(CatalogueRowsTest, FileSystemAndDriverFolders) {
    const auto& wmic = Catalogues().wmic;
    EXPECT_EQ(Keys(wmic.at(L"操作系统\\文件系统")),
              (std::vector<std::wstring>{L"LOGICALDISK", L"PARTITION", L"QUOTASETTING", L"VOLUME",
                                         L"VOLUMEQUOTASETTING"}));
    int driverRows = 0;
    for (const auto& folder : wmic)
        for (const auto& row : folder.second)
            if (row.label == L"基本服务的系统驱动程序管理") {
                ++driverRows;
                EXPECT_EQ(folder.first, L"操作系统\\驱动程序");
            }
    EXPECT_EQ(driverRows, 1);
}

TEST(CatalogueRowsTest, OnlyOneAliasTakesTheShortForm) {
    int os = 0;
    for (const auto& folder : Catalogues().wmic)
        for (const auto& row : folder.second) {
            os += row.key == L"OS";
            for (wchar_t ch : row.key) EXPECT_TRUE(ch >= L'A' && ch <= L'Z') << row.key;
        }
    EXPECT_EQ(os, 1);
}

TEST(CatalogueRowsTest, NoFolderRepeatsALabelOrKey) {
    for (const Named& c : kAll)
        for (const auto& folder : c.get()) {
            std::set<std::wstring> labels, keys;
            for (const auto& row : folder.second) {
                EXPECT_TRUE(labels.insert(row.label).second) << c.name;
                EXPECT_TRUE(keys.insert(row.key).second) << c.name;
            }
            EXPECT_FALSE(folder.second.empty()) << c.name;
        }
}

TEST(CatalogueRowsTest, WmiLabelIsTheClassWithoutItsPrefix) {
    for (const FolderCatalogue* cat : {&Catalogues().device, &Catalogues().system})
        for (const auto& folder : *cat)
            for (const auto& row : folder.second) {
                ASSERT_EQ(row.key.compare(0, 6, L"Win32_"), 0) << row.key;
                EXPECT_EQ(L"Win32_" + row.label, row.key);
                EXPECT_FALSE(row.label.empty());
            }
    const auto& jobs = Catalogues().system.at(L"操作系统\\作业对象");
    std::set<std::wstring> labels;
    for (const auto& row : jobs) labels.insert(row.label);
    EXPECT_EQ(labels.count(L"NamedJobObjectSecLimit"), 1u);
    EXPECT_EQ(labels.count(L"NamedJobObjectSecLimitSetting"), 1u);
}

TEST(CatalogueRowsTest, WmiClassLabelLeavesOtherNamesAlone) {
    EXPECT_EQ(WmiClassLabel(L"Win32_Fan"), L"Fan");
    EXPECT_EQ(WmiClassLabel(L"Win32_"), L"");
    EXPECT_EQ(WmiClassLabel(L"win32_Fan"), L"win32_Fan");
    EXPECT_EQ(WmiClassLabel(L"CIM_Fan"), L"CIM_Fan");
}

TEST(CatalogueFolderTest, PathsAreRelativeWithKnownCategories) {
    const std::set<std::wstring> categories = {L"硬件", L"操作系统", L"安装应用程序", L"性能计数器"};
    const std::set<std::wstring> perCatalogue[] = {
        {L"硬件", L"操作系统", L"安装应用程序"},
        {L"硬件", L"性能计数器"},
        {L"操作系统", L"安装应用程序"},
    };
    for (size_t i = 0; i < 3; ++i)
        for (const auto& folder : kAll[i].get()) {
            const std::wstring& path = folder.first;
            ASSERT_FALSE(path.empty());
            EXPECT_NE(path.front(), L'\\') << path;
            EXPECT_NE(path.back(), L'\\') << path;
            EXPECT_EQ(path.find(L"\\\\"), std::wstring::npos) << path;
            EXPECT_EQ(path.find(L'/'), std::wstring::npos) << path;
            const std::wstring category = path.substr(0, path.find(L'\\'));
            EXPECT_EQ(perCatalogue[i].count(category), 1u) << kAll[i].name << " " << path;
        }
}

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
