#include "steps/AliasScript.h"

#include "text/CommandLine.h"
#include "text/Base64.h"

namespace engine::steps {

using catalogue::CatalogueRow;
using catalogue::FindWmiAlias;
using catalogue::WmiAlias;
using catalogue::WmicTableForm;
using util::text::Utf16Base64;
using util::text::Utf16FromBase64;

namespace {

// The work of one alias, run in a runspace of its own: reads the alias ($a) with WMI's own
// operation timeout ($lim) and returns its records. The management classes Get-WmiObject reads
// with hand out the values as WMI holds them, as WMIC prints them: date-times and intervals as
// DMTF strings, references as object paths. Only where they are missing Get-CimInstance
// reads, and its .NET date-times, time spans and instances are turned back into those forms.
// Arrays are written {"a","b"} or {1,2}, with the alias's own separator (", " in WMIC's table
// form). A value longer than $cut characters is cut there, with a marker that says so.
constexpr const wchar_t* kAliasWork =
    L"$w={\n"
    L"param($a,$lim,$cut)\n"
    L"$ErrorActionPreference='Stop'\n"
    L"function B($s){[Convert]::ToBase64String([Text.Encoding]::Unicode.GetBytes([string]$s))}\n"
    L"function C($s){if($s.Length -gt $cut){return $s.Substring(0,$cut)+'\u2026[cut at '+$cut+' of '+$s.Length+' characters]'};return $s}\n"
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
    L"try{\n"
    L" $q='SELECT * FROM '+$a[2]\n"
    L" if($a[3]){$q+=' WHERE '+$a[3]}\n"
    L" if([bool](Get-Command Get-WmiObject -ErrorAction SilentlyContinue)){\n"
    L"  $e=New-Object Management.EnumerationOptions\n"
    L"  $e.Timeout=[TimeSpan]::FromMilliseconds($lim)\n"
    L"  $r=@((New-Object Management.ManagementObjectSearcher -ArgumentList $a[1],$q,$e).Get())\n"
    L" }else{$r=@(Get-CimInstance -Namespace $a[1] -Query $q -OperationTimeoutSec ([Math]::Ceiling($lim/1000)))}\n"
    L" foreach($i in $r){\n"
    L"  'I'\n"
    L"  foreach($p in $a[4].Split(',')){$v=$null;try{$v=$i.$p}catch{};'P '+(B (C (V $v $a[5])))}\n"
    L" }\n"
    L" 'Z'\n"
    L"}catch{'E '+(B $_.Exception.Message)}\n"
    L"}\n";

// Runs the aliases of $t one after another, each in a runspace under the limit $lim; one that
// does not answer in time is left behind in its runspace, recorded "T", and the next goes on in
// a fresh runspace. "A" is written before the alias begins, so the reader sees when it did.
// Leaving by Exit ends the process even while a runspace left behind still waits on WMI.
constexpr const wchar_t* kScriptLoop =
    L"function B($s){[Convert]::ToBase64String([Text.Encoding]::Unicode.GetBytes([string]$s))}\n"
    L"$o=[Console]::Out\n"
    L"$rs=$null\n"
    L"foreach($a in $t){\n"
    L" $o.WriteLine('A '+$a[0]);$o.Flush()\n"
    L" try{\n"
    L"  if(-not $rs){$rs=[runspacefactory]::CreateRunspace();$rs.Open()}\n"
    L"  $ps=[powershell]::Create();$ps.Runspace=$rs\n"
    L"  [void]$ps.AddScript($w.ToString()).AddArgument($a).AddArgument($lim).AddArgument($cut)\n"
    L"  $h=$ps.BeginInvoke()\n"
    L"  if($h.AsyncWaitHandle.WaitOne($lim,$false)){\n"
    L"   foreach($l in $ps.EndInvoke($h)){$o.WriteLine([string]$l)}\n"
    L"   $ps.Dispose()\n"
    L"  }else{$o.WriteLine('T');[void]$ps.BeginStop($null,$null);$rs=$null}\n"
    L" }catch{$o.WriteLine('E '+(B $_.Exception.Message));$rs=$null}\n"
    L" $o.Flush()\n"
    L"}\n"
    L"$o.Flush()\n"
    L"[Environment]::Exit(0)\n";

// WMIC's table form writes {"a", "b"}, its list form {"a","b"}.
const wchar_t* ArraySeparator(const WmiAlias& alias) { return WmicTableForm(alias.alias) ? L", " : L","; }

// One alias as an element of $t; the leading comma keeps it one element even when alone.
std::wstring AliasEntry(const WmiAlias& alias) {
    return L"$t+=,@(" + util::text::PowerShellQuoted(alias.alias) + L"," + util::text::PowerShellQuoted(alias.nameSpace) + L"," +
           util::text::PowerShellQuoted(alias.wmiClass) + L"," + util::text::PowerShellQuoted(alias.filter) + L"," +
           util::text::PowerShellQuoted(alias.properties) + L"," + util::text::PowerShellQuoted(ArraySeparator(alias)) + L")\n";
}

// The widest limit a script can name: batches are cut so that any limit fits their line.
constexpr DWORD kWidestLimit = 4294967295u;

// A value over the cut and its marker's room was not cut by the script: the engine cuts it.
constexpr size_t kMarkerRoom = 64;

// A "P" record's Base64 past what a cut value needs: only what the cut keeps is decoded. Six
// bytes are three whole UTF-16 characters' worth of whole Base64 groups.
constexpr size_t kCutDecodeBytes = (kValueCutChars * 2 + 5) / 6 * 6;

// The text of the record line from its third character on.
bool Decoded(const std::string& line, std::wstring& text, AliasAnswer& answer) {
    const size_t from = 2;
    const size_t size = line.size() - from;
    const size_t pad = size >= 2 ? (line[line.size() - 1] == '=') + (line[line.size() - 2] == '=') : 0;
    const size_t totalChars = size >= pad ? (size / 4 * 3 - pad) / 2 : 0;
    const bool tooLong = totalChars > kValueCutChars + kMarkerRoom && size % 4 == 0;
    const size_t keep = tooLong ? kCutDecodeBytes / 3 * 4 : size;
    if (Utf16FromBase64(std::wstring(line.begin() + from, line.begin() + from + keep), text)) {
        if (tooLong) text = text.substr(0, kValueCutChars) + CutMarker(totalChars);
        return true;
    }
    answer.complete = false;
    answer.error = L"unreadable answer from PowerShell";
    return false;
}

}  // namespace

std::wstring CutMarker(size_t totalChars) {
    return L"\u2026[cut at " + std::to_wstring(kValueCutChars) + L" of " + std::to_wstring(totalChars) +
           L" characters]";
}

std::wstring AliasScript(const std::vector<const WmiAlias*>& aliases, DWORD aliasLimitMs) {
    std::wstring script = L"$ErrorActionPreference='Stop'\n$lim=" + std::to_wstring(aliasLimitMs) +
                          L"\n$cut=" + std::to_wstring(kValueCutChars) + L"\n$t=@()\n";
    for (const WmiAlias* alias : aliases) script += AliasEntry(*alias);
    return script + kAliasWork + kScriptLoop;
}

std::wstring AliasCommandLine(const std::vector<const WmiAlias*>& aliases, DWORD aliasLimitMs) {
    return kPowerShellEncodedStart + Utf16Base64(AliasScript(aliases, aliasLimitMs));
}

DWORD BatchLimitMs(DWORD aliasLimitMs, size_t count, DWORD runLeftMs) {
    const ULONGLONG wanted = static_cast<ULONGLONG>(aliasLimitMs) * (count + 1);
    return wanted < runLeftMs ? static_cast<DWORD>(wanted) : runLeftMs;
}

std::vector<AliasBatch> AliasBatches(const std::vector<CatalogueRow>& rows, size_t maxLine) {
    std::vector<AliasBatch> batches;
    AliasBatch current;
    for (const CatalogueRow& row : rows) {
        const WmiAlias* alias = FindWmiAlias(row.key);
        if (alias == nullptr) continue;
        current.aliases.push_back(alias);
        if (AliasCommandLine(current.aliases, kWidestLimit).size() > maxLine && current.aliases.size() > 1) {
            current.aliases.pop_back();
            batches.push_back(std::move(current));
            current = {{alias}};
        }
    }
    if (!current.aliases.empty()) batches.push_back(std::move(current));
    return batches;
}

void AliasAnswerReader::Feed(const char* data, size_t size) {
    if (capped_) return;  // read and dropped
    if (size > maxBytes_ - seen_) {
        size = maxBytes_ - seen_;
        capped_ = true;
    }
    seen_ += size;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\n') continue;
        line_.append(data, i);
        Line(line_);
        line_.clear();
        data += i + 1;
        size -= i + 1;
        i = static_cast<size_t>(-1);
    }
    line_.append(data, size);
    if (capped_) {
        // What was cut off is lost; the alias being read keeps what arrived whole.
        line_.clear();
        if (current_ && !current_->complete && current_->error.empty() && !current_->timedOut) current_->cut = true;
        current_ = nullptr;
    }
}

std::map<std::wstring, AliasAnswer>& AliasAnswerReader::Finish() {
    if (!line_.empty()) Line(line_);
    line_.clear();
    return answers_;
}

void AliasAnswerReader::Line(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.compare(0, 2, "A ") == 0) {
        current_ = &answers_[std::wstring(line.begin() + 2, line.end())];
        *current_ = AliasAnswer{};
        current_->beganTick = current_->endedTick = ::GetTickCount64();
        return;
    }
    if (current_ == nullptr || !current_->error.empty()) return;
    std::wstring text;
    if (line == "I") {
        current_->instances.emplace_back();
    } else if (line.compare(0, 2, "P ") == 0 && !current_->instances.empty()) {
        if (Decoded(line, text, *current_)) current_->instances.back().push_back(std::move(text));
    } else if (line == "Z") {
        current_->complete = true;
    } else if (line == "T") {
        current_->timedOut = true;
        current_->complete = false;
    } else if (line.compare(0, 2, "E ") == 0) {
        if (Decoded(line, text, *current_)) current_->error = text.empty() ? L"failed" : text;
        current_->complete = false;
    } else {
        return;
    }
    current_->endedTick = ::GetTickCount64();
}

std::map<std::wstring, AliasAnswer> ParseAliasOutput(const std::string& output) {
    AliasAnswerReader reader;
    reader.Feed(output.data(), output.size());
    return std::move(reader.Finish());
}

}  // namespace engine::steps
