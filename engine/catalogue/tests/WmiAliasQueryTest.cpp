#include <gtest/gtest.h>

#include "Base64.h"
#include "WmiAliasQuery.h"

using namespace skelda;

namespace {

std::vector<CatalogueRow> FolderRows(const std::wstring& folder) {
    FolderCatalogue wmic, device, system;
    BuildCatalogues(wmic, device, system);
    return wmic.at(folder);
}

std::wstring ScriptOf(const std::wstring& commandLine) {
    const std::wstring prefix = kPowerShellEncodedStart;
    EXPECT_EQ(commandLine.compare(0, prefix.size(), prefix), 0);
    std::wstring script;
    EXPECT_TRUE(Utf16FromBase64(commandLine.substr(prefix.size()), script));
    return script;
}

TEST(AliasScriptTest, EveryFieldIsALiteralStringAndALoneAliasStaysOneElement) {
    const WmiAlias odd{L"X", L"root\\cimv2", L"Win32_X", L"Name='it''s' AND Path=\"$env:x\"", L"A,B"};
    const std::wstring script = AliasScript({&odd});
    // Single quotes expand nothing ($env:x stays text); a quote inside is doubled.
    EXPECT_NE(script.find(L"$t+=,@('X','root\\cimv2','Win32_X','Name=''it''''s'' AND Path=\"$env:x\"','A,B',',')\n"),
              std::wstring::npos);
    // Get-WmiObject first: it hands out DMTF date-times and object paths as WMIC prints them.
    EXPECT_NE(script.find(L"if($wmi){$r=@(Get-WmiObject -Class $a[2] @q)}"
                          L"else{$r=@(Get-CimInstance -ClassName $a[2] @q)}"),
              std::wstring::npos);
}

TEST(AliasScriptTest, TheTableFormSeparatesArrayItemsWithACommaAndABlank) {
    const std::wstring script = AliasScript({FindWmiAlias(L"OS"), FindWmiAlias(L"BIOS")});
    EXPECT_NE(script.find(L"$t+=,@('OS','root\\cimv2','Win32_OperatingSystem','','BootDevice,"), std::wstring::npos);
    EXPECT_NE(script.find(L"Version,WindowsDirectory',', ')\n"), std::wstring::npos);
    EXPECT_NE(script.find(L"TargetOperatingSystem,Version',',')\n"), std::wstring::npos);
}

TEST(AliasCommandLineTest, OnlyBase64FollowsTheSwitchesAndItDecodesToTheScript) {
    const std::vector<const WmiAlias*> aliases = {FindWmiAlias(L"PRINTER"), FindWmiAlias(L"PRINTJOB")};
    const std::wstring line = AliasCommandLine(aliases);
    const std::wstring encoded = line.substr(std::wstring(kPowerShellEncodedStart).size());
    EXPECT_EQ(encoded.find_first_not_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::wstring::npos);
    EXPECT_EQ(ScriptOf(line), AliasScript(aliases));
    EXPECT_EQ(line.rfind(L"powershell -NoProfile -NonInteractive -EncodedCommand ", 0), 0u);
}

TEST(AliasBatchesTest, EachCatalogueFolderFitsOneCommandLine) {
    FolderCatalogue wmic, device, system;
    BuildCatalogues(wmic, device, system);
    for (const auto& [folder, rows] : wmic) {
        const std::vector<AliasBatch> batches = AliasBatches(rows);
        ASSERT_EQ(batches.size(), 1u);
        EXPECT_EQ(batches[0].aliases.size(), rows.size());
        EXPECT_LT(batches[0].commandLine.size(), kMaxCommandLine);
    }
}

TEST(AliasBatchesTest, ShorterLimitSplitsInOrderAndNothingIsLost) {
    const std::vector<CatalogueRow> rows = FolderRows(L"硬件\\主板、控制器、端口");
    const size_t limit = AliasBatches(rows).front().commandLine.size() / 3;
    const std::vector<AliasBatch> batches = AliasBatches(rows, limit);
    ASSERT_GT(batches.size(), 3u);
    std::vector<std::wstring> seen;
    for (const AliasBatch& batch : batches) {
        EXPECT_LE(batch.commandLine.size(), limit);
        EXPECT_EQ(batch.commandLine, AliasCommandLine(batch.aliases));
        for (const WmiAlias* alias : batch.aliases) seen.push_back(alias->alias);
    }
    std::vector<std::wstring> expected;
    for (const CatalogueRow& row : rows) expected.push_back(row.key);
    EXPECT_EQ(seen, expected);
}

TEST(AliasBatchesTest, AnAliasTooLongAloneGetsABatchOfItsOwn) {
    const std::vector<CatalogueRow> rows = {{L"CPU", L"c"}, {L"NOSUCHALIAS", L"n"}, {L"IRQ", L"i"}};
    const std::vector<AliasBatch> batches = AliasBatches(rows, 100);
    ASSERT_EQ(batches.size(), 2u);  // the unknown alias is left out
    EXPECT_EQ(batches[0].aliases, std::vector<const WmiAlias*>{FindWmiAlias(L"CPU")});
    EXPECT_EQ(batches[1].aliases, std::vector<const WmiAlias*>{FindWmiAlias(L"IRQ")});
}

TEST(ParseAliasOutputTest, InstancesErrorsAndUnfinishedAliases) {
    const std::wstring output =
        L"A CPU\r\nI\r\nP " + Utf16Base64(L"中文\r\n第二行") + L"\r\nP \r\nI\r\nP " + Utf16Base64(L"x") + L"\r\nZ\r\n"
        L"noise from PowerShell's error stream\r\n"
        L"A IRQ\r\nI\r\nP " + Utf16Base64(L"half") + L"\r\nE " + Utf16Base64(L"拒绝访问") + L"\r\n"
        L"A BIOS\nI\nP !!!\nZ\n"
        L"A PORT\r\nI\r\n";
    const auto answers = ParseAliasOutput(output);
    ASSERT_EQ(answers.size(), 4u);
    const AliasAnswer& cpu = answers.at(L"CPU");
    EXPECT_TRUE(cpu.complete);
    EXPECT_TRUE(cpu.error.empty());
    EXPECT_EQ(cpu.instances, (std::vector<WmiInstance>{{L"中文\r\n第二行", L""}, {L"x"}}));
    EXPECT_FALSE(answers.at(L"IRQ").complete);
    EXPECT_EQ(answers.at(L"IRQ").error, L"拒绝访问");
    EXPECT_FALSE(answers.at(L"BIOS").complete);  // an unreadable value spoils the alias
    EXPECT_FALSE(answers.at(L"BIOS").error.empty());
    EXPECT_FALSE(answers.at(L"PORT").complete);  // PowerShell ended before "Z"
    EXPECT_TRUE(answers.at(L"PORT").error.empty());
}

}  // namespace
