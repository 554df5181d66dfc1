#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/Catalogue.h"
#include "catalogue/WmiAliasTable.h"
#include "steps/AliasScript.h"
#include "text/Base64.h"

using namespace engine::steps;
using engine::catalogue::BuildCatalogues;
using engine::catalogue::CatalogueRow;
using engine::catalogue::FindWmiAlias;
using engine::catalogue::FolderCatalogue;
using engine::catalogue::WmiAlias;
using util::text::kMaxCommandLine;
using util::text::Utf16Base64;
using util::text::Utf16FromBase64;

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
    const std::wstring script = AliasScript({&odd}, 3000);
    // Single quotes expand nothing ($env:x stays text); a quote inside is doubled.
    EXPECT_NE(script.find(L"$t+=,@('X','root\\cimv2','Win32_X','Name=''it''''s'' AND Path=\"$env:x\"','A,B',',')\n"),
              std::wstring::npos);
    // The management classes first (Get-WmiObject's): DMTF date-times and object paths as WMIC
    // prints them, under WMI's own operation timeout.
    EXPECT_NE(script.find(L"$e.Timeout=[TimeSpan]::FromMilliseconds($lim)\n"
                          L"  $r=@((New-Object Management.ManagementObjectSearcher -ArgumentList $a[1],$q,$e).Get())"),
              std::wstring::npos);
}

TEST(AliasScriptTest, EachAliasRunsUnderTheLimitTheScriptNamesAndLongValuesAreCut) {
    const std::wstring script = AliasScript({FindWmiAlias(L"GROUP"), FindWmiAlias(L"LOGON")}, 3000);
    EXPECT_EQ(script.rfind(L"$ErrorActionPreference='Stop'\n$lim=3000\n$cut=1048576\n$t=@()\n", 0), 0u);
    // "A" goes out before the alias begins; one that does not answer in time is recorded "T"
    // and left behind with its runspace, and the next alias gets a fresh one.
    const size_t begins = script.find(L"$o.WriteLine('A '+$a[0]);$o.Flush()");
    const size_t waits = script.find(L"if($h.AsyncWaitHandle.WaitOne($lim,$false)){");
    const size_t leaves = script.find(L"}else{$o.WriteLine('T');[void]$ps.BeginStop($null,$null);$rs=$null}");
    EXPECT_LT(begins, waits);
    EXPECT_LT(waits, leaves);
    EXPECT_NE(leaves, std::wstring::npos);
    // The process ends even while a runspace left behind still waits on WMI.
    EXPECT_NE(script.find(L"[Environment]::Exit(0)\n"), std::wstring::npos);
    // Every value is cut before it is encoded, with the marker the engine uses.
    EXPECT_NE(script.find(L"'P '+(B (C (V $v $a[5])))"), std::wstring::npos);
    EXPECT_NE(script.find(L"$s.Substring(0,$cut)+'\u2026[cut at '+$cut+' of '+$s.Length+' characters]'"),
              std::wstring::npos);
    EXPECT_EQ(CutMarker(20971520), L"\u2026[cut at 1048576 of 20971520 characters]");
}

TEST(AliasScriptTest, TheTableFormSeparatesArrayItemsWithACommaAndABlank) {
    const std::wstring script = AliasScript({FindWmiAlias(L"OS"), FindWmiAlias(L"BIOS")}, 1000);
    EXPECT_NE(script.find(L"$t+=,@('OS','root\\cimv2','Win32_OperatingSystem','','BootDevice,"), std::wstring::npos);
    EXPECT_NE(script.find(L"Version,WindowsDirectory',', ')\n"), std::wstring::npos);
    EXPECT_NE(script.find(L"TargetOperatingSystem,Version',',')\n"), std::wstring::npos);
}

TEST(AliasCommandLineTest, OnlyBase64FollowsTheSwitchesAndItDecodesToTheScript) {
    const std::vector<const WmiAlias*> aliases = {FindWmiAlias(L"PRINTER"), FindWmiAlias(L"PRINTJOB")};
    const std::wstring line = AliasCommandLine(aliases, 600000);
    const std::wstring encoded = line.substr(std::wstring(kPowerShellEncodedStart).size());
    EXPECT_EQ(encoded.find_first_not_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::wstring::npos);
    EXPECT_EQ(ScriptOf(line), AliasScript(aliases, 600000));
    EXPECT_EQ(line.rfind(L"powershell -NoProfile -NonInteractive -EncodedCommand ", 0), 0u);
}

TEST(AliasBatchesTest, EachCatalogueFolderFitsOneCommandLine) {
    FolderCatalogue wmic, device, system;
    BuildCatalogues(wmic, device, system);
    for (const auto& [folder, rows] : wmic) {
        const std::vector<AliasBatch> batches = AliasBatches(rows);
        ASSERT_EQ(batches.size(), 1u);
        EXPECT_EQ(batches[0].aliases.size(), rows.size());
        EXPECT_LT(AliasCommandLine(batches[0].aliases, 4294967295u).size(), kMaxCommandLine);
    }
}

TEST(AliasBatchesTest, ShorterLimitSplitsInOrderAndNothingIsLost) {
    const std::vector<CatalogueRow> rows = FolderRows(L"硬件\\主板、控制器、端口");
    // The script's fixed part and a third of the folder's aliases.
    const size_t fixed = AliasCommandLine({}, 4294967295u).size();
    const size_t limit = fixed + (AliasCommandLine(AliasBatches(rows).front().aliases, 0).size() - fixed) / 3;
    const std::vector<AliasBatch> batches = AliasBatches(rows, limit);
    ASSERT_GT(batches.size(), 3u);
    std::vector<std::wstring> seen;
    for (const AliasBatch& batch : batches) {
        // Whatever limit the script names, its line fits.
        EXPECT_LE(AliasCommandLine(batch.aliases, 4294967295u).size(), limit);
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

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(ParseAliasOutputTest, InstancesErrorsTimeOutsAndUnfinishedAliases) {
    const std::string output = Narrow(
        L"A CPU\r\nI\r\nP " + Utf16Base64(L"中文\r\n第二行") + L"\r\nP \r\nI\r\nP " + Utf16Base64(L"x") + L"\r\nZ\r\n"
        L"A GROUP\r\nT\r\n"
        L"A IRQ\r\nI\r\nP " + Utf16Base64(L"half") + L"\r\nE " + Utf16Base64(L"拒绝访问") + L"\r\n"
        L"A BIOS\nI\nP !!!\nZ\n"
        L"A PORT\r\nI");
    const auto answers = ParseAliasOutput(output);
    ASSERT_EQ(answers.size(), 5u);
    const AliasAnswer& cpu = answers.at(L"CPU");
    EXPECT_TRUE(cpu.complete);
    EXPECT_TRUE(cpu.error.empty());
    EXPECT_EQ(cpu.instances, (std::vector<WmiInstance>{{L"中文\r\n第二行", L""}, {L"x"}}));
    EXPECT_TRUE(answers.at(L"GROUP").timedOut);  // the script went on without it
    EXPECT_FALSE(answers.at(L"GROUP").complete);
    EXPECT_FALSE(answers.at(L"IRQ").complete);
    EXPECT_EQ(answers.at(L"IRQ").error, L"拒绝访问");
    EXPECT_FALSE(answers.at(L"BIOS").complete);  // an unreadable value spoils the alias
    EXPECT_FALSE(answers.at(L"BIOS").error.empty());
    EXPECT_FALSE(answers.at(L"PORT").complete);  // PowerShell ended before "Z"
    EXPECT_TRUE(answers.at(L"PORT").error.empty());
    EXPECT_EQ(answers.at(L"PORT").instances.size(), 1u);

    // Read as it arrives, in pieces that split records anywhere: the same answers.
    AliasAnswerReader reader;
    for (size_t at = 0; at < output.size(); at += 7)
        reader.Feed(output.data() + at, std::min<size_t>(7, output.size() - at));
    const auto pieces = reader.Finish();
    EXPECT_EQ(pieces.at(L"CPU").instances, cpu.instances);
    EXPECT_TRUE(pieces.at(L"GROUP").timedOut);
    EXPECT_EQ(pieces.at(L"IRQ").error, L"拒绝访问");
}

TEST(ParseAliasOutputTest, AValuePastTheCutIsCutWithItsMarkerOnlyOnce) {
    const std::wstring huge(20 * 1024 * 1024, L'环');
    const std::wstring cutByScript = huge.substr(0, kValueCutChars) + CutMarker(huge.size());
    const std::string output = "A ENVIRONMENT\nI\nP " + Narrow(Utf16Base64(huge)) + "\nP " +
                               Narrow(Utf16Base64(cutByScript)) + "\nZ\n";
    const auto answers = ParseAliasOutput(output);
    const AliasAnswer& environment = answers.at(L"ENVIRONMENT");
    ASSERT_TRUE(environment.complete);
    ASSERT_EQ(environment.instances.size(), 1u);
    ASSERT_EQ(environment.instances[0].size(), 2u);
    // Uncut by the script: the engine cuts it the same way; cut by the script: kept as it came.
    EXPECT_EQ(environment.instances[0][0], cutByScript);
    EXPECT_EQ(environment.instances[0][1], cutByScript);
}

TEST(ParseAliasOutputTest, PastTheCapTheAliasBeingReadIsCutAndTheRestIsDropped) {
    const std::string value = "P " + Narrow(Utf16Base64(std::wstring(300, L'v'))) + "\n";
    std::string output = "A SERVICE\n";
    for (int i = 0; i < 10; ++i) output += "I\n" + value + value;
    output += "Z\nA SYSDRIVER\nI\n" + value + "Z\n";
    const size_t cap = output.find("I\n") + 5 * (2 + 2 * value.size()) + 10;  // inside the sixth instance
    AliasAnswerReader reader(cap);
    for (size_t at = 0; at < output.size(); at += 1000)
        reader.Feed(output.data() + at, std::min<size_t>(1000, output.size() - at));
    EXPECT_TRUE(reader.Capped());
    const auto answers = reader.Finish();
    const AliasAnswer& service = answers.at(L"SERVICE");
    EXPECT_TRUE(service.cut);
    EXPECT_FALSE(service.complete);
    ASSERT_EQ(service.instances.size(), 6u);  // the sixth has begun; the writer drops it
    EXPECT_EQ(service.instances[4].size(), 2u);
    EXPECT_EQ(answers.count(L"SYSDRIVER"), 0u);
}

TEST(BatchLimitTest, EachAliasItsLimitAndOneForTheStartCutToTheRun) {
    EXPECT_EQ(BatchLimitMs(3000, 5, 3600000), 18000u);
    EXPECT_EQ(BatchLimitMs(3000, 5, 10000), 10000u);
    EXPECT_EQ(BatchLimitMs(3000, 5, 0), 0u);  // the run's time is up: the batch does not start
    EXPECT_EQ(BatchLimitMs(86400000, 70, 4000000000u), 4000000000u);  // no overflow
}

}  // namespace
