#include "WmiAliasQuery.h"

#include "Base64.h"

namespace skelda {

namespace {

// Reads each alias of $t and writes its records. Get-WmiObject hands out the values as WMI
// holds them, as WMIC prints them: date-times and intervals as DMTF strings, references as
// object paths. Only where it is missing (PowerShell without it) Get-CimInstance reads, and
// its .NET date-times, time spans and instances are turned back into those forms. Arrays are
// written {"a","b"} or {1,2}, with the alias's own separator (", " in WMIC's table form).
constexpr const wchar_t* kScriptHead =
    L"$ErrorActionPreference='Stop'\n"
    L"$wmi=[bool](Get-Command Get-WmiObject -ErrorAction SilentlyContinue)\n"
    L"function B($s){[Convert]::ToBase64String([Text.Encoding]::Unicode.GetBytes([string]$s))}\n"
    L"function Q($k){if($k -is [string]){return '\"'+$k.Replace('\\','\\\\').Replace('\"','\\\"')+'\"'};return [string]$k}\n"
    L"function R($c){\n"
    L" $s=$c.CimSystemProperties\n"
    L" $k=@($c.CimInstanceProperties|?{$_.Flags.ToString() -match 'Key'}|%{$_.Name+'='+(Q $_.Value)}) -join ','\n"
    L" return '\\\\'+$s.ServerName+'\\'+($s.Namespace -replace '/','\\')+':'+$s.ClassName+'.'+$k\n"
    L"}\n"
    L"function V($v,$j){\n"
    L" if($null -eq $v){return ''}\n"
    L" if($v -is [bool]){if($v){return 'TRUE'};return 'FALSE'}\n"
    L" if($v -is [datetime]){return [Management.ManagementDateTimeConverter]::ToDmtfDateTime($v)}\n"
    L" if($v -is [timespan]){return [Management.ManagementDateTimeConverter]::ToDmtfTimeInterval($v)}\n"
    L" if($v.GetType().FullName -eq 'Microsoft.Management.Infrastructure.CimInstance'){return R $v}\n"
    L" if($v -is [array]){return '{'+((@($v)|%{if($_ -is [string]){'\"'+$_+'\"'}else{V $_ $j}}) -join $j)+'}'}\n"
    L" return [string]$v\n"
    L"}\n"
    L"$o=[Console]::Out\n"
    L"$t=@()\n";

constexpr const wchar_t* kScriptLoop =
    L"foreach($a in $t){\n"
    L" $o.WriteLine('A '+$a[0])\n"
    L" try{\n"
    L"  $q=@{Namespace=$a[1]}\n"
    L"  if($a[3]){$q.Filter=$a[3]}\n"
    L"  if($wmi){$r=@(Get-WmiObject -Class $a[2] @q)}else{$r=@(Get-CimInstance -ClassName $a[2] @q)}\n"
    L"  foreach($i in $r){\n"
    L"   $o.WriteLine('I')\n"
    L"   foreach($p in $a[4].Split(',')){$v=$null;try{$v=$i.$p}catch{};$o.WriteLine('P '+(B (V $v $a[5])))}\n"
    L"  }\n"
    L"  $o.WriteLine('Z')\n"
    L" }catch{$o.WriteLine('E '+(B $_.Exception.Message))}\n"
    L"}\n"
    L"$o.Flush()\n";

// A PowerShell string literal in single quotes: nothing inside is expanded, a quote doubles.
std::wstring SingleQuoted(const std::wstring& text) {
    std::wstring out = L"'";
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'') out += c;
    }
    return out + L"'";
}

// WMIC's table form writes {"a", "b"}, its list form {"a","b"}.
const wchar_t* ArraySeparator(const WmiAlias& alias) { return WmicTableForm(alias.alias) ? L", " : L","; }

// One alias as an element of $t; the leading comma keeps it one element even when alone.
std::wstring AliasEntry(const WmiAlias& alias) {
    return L"$t+=,@(" + SingleQuoted(alias.alias) + L"," + SingleQuoted(alias.nameSpace) + L"," +
           SingleQuoted(alias.wmiClass) + L"," + SingleQuoted(alias.filter) + L"," +
           SingleQuoted(alias.properties) + L"," + SingleQuoted(ArraySeparator(alias)) + L")\n";
}

bool Decoded(const std::wstring& encoded, std::wstring& text, AliasAnswer& answer) {
    if (Utf16FromBase64(encoded, text)) return true;
    answer.complete = false;
    answer.error = L"unreadable answer from PowerShell";
    return false;
}

}  // namespace

std::wstring AliasScript(const std::vector<const WmiAlias*>& aliases) {
    std::wstring script = kScriptHead;
    for (const WmiAlias* alias : aliases) script += AliasEntry(*alias);
    return script + kScriptLoop;
}

std::wstring AliasCommandLine(const std::vector<const WmiAlias*>& aliases) {
    return kPowerShellEncodedStart + Utf16Base64(AliasScript(aliases));
}

std::vector<AliasBatch> AliasBatches(const std::vector<CatalogueRow>& rows, size_t maxLine) {
    std::vector<AliasBatch> batches;
    AliasBatch current;
    for (const CatalogueRow& row : rows) {
        const WmiAlias* alias = FindWmiAlias(row.key);
        if (alias == nullptr) continue;
        std::vector<const WmiAlias*> grown = current.aliases;
        grown.push_back(alias);
        std::wstring line = AliasCommandLine(grown);
        if (line.size() > maxLine && !current.aliases.empty()) {
            batches.push_back(std::move(current));
            grown = {alias};
            line = AliasCommandLine(grown);
        }
        current = {std::move(grown), std::move(line)};
    }
    if (!current.aliases.empty()) batches.push_back(std::move(current));
    return batches;
}

std::map<std::wstring, AliasAnswer> ParseAliasOutput(const std::wstring& output) {
    std::map<std::wstring, AliasAnswer> answers;
    AliasAnswer* current = nullptr;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find(L'\n', start);
        if (end == std::wstring::npos) end = output.size();
        std::wstring line = output.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.size() > 2 && line.compare(0, 2, L"A ") == 0) {
            current = &answers[line.substr(2)];
            *current = AliasAnswer{};
            continue;
        }
        if (current == nullptr || !current->error.empty()) continue;
        std::wstring text;
        if (line == L"I") {
            current->instances.emplace_back();
        } else if (line.compare(0, 2, L"P ") == 0 && !current->instances.empty()) {
            if (Decoded(line.substr(2), text, *current)) current->instances.back().push_back(std::move(text));
        } else if (line == L"Z") {
            current->complete = true;
        } else if (line.compare(0, 2, L"E ") == 0) {
            if (Decoded(line.substr(2), text, *current)) current->error = text.empty() ? L"failed" : text;
            current->complete = false;
        }
    }
    return answers;
}

}  // namespace skelda
