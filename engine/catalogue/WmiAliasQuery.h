#pragma once
// The PowerShell side of the WMIC alias reports on systems without WMIC: the script that reads
// a batch of aliases from WMI, the command line that carries it, and what the script answers.
//
// The script is handed over Base64-encoded (-EncodedCommand), so no character of it is ever
// interpreted by a command line parser. It answers on standard output in ASCII only, one
// record a line, every text in Base64 of UTF-16LE, so that no console code page touches it:
//   A <alias>   the alias's records follow
//   I           a new instance
//   P <text>    the next property value of the instance, in the order of the property list
//   Z           the alias is complete
//   E <text>    the alias failed, with the reason
// Other lines (such as PowerShell's own error output) are ignored.
#include <map>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "CommandLine.h"
#include "WmiAliasTable.h"
#include "WmicListFormat.h"

namespace skelda {

constexpr const wchar_t* kPowerShellEncodedStart = L"powershell -NoProfile -NonInteractive -EncodedCommand ";

// The script that answers the aliases in order: Get-WmiObject, which hands out WMI's raw
// values, wherever PowerShell has it, Get-CimInstance otherwise; each alias in its own try,
// so one that fails leaves the others alone.
std::wstring AliasScript(const std::vector<const WmiAlias*>& aliases);

// powershell -NoProfile -NonInteractive -EncodedCommand <Base64 of the UTF-16LE script>
std::wstring AliasCommandLine(const std::vector<const WmiAlias*>& aliases);

struct AliasBatch {
    std::vector<const WmiAlias*> aliases;
    std::wstring commandLine;
};

// The rows' aliases in order, cut into as few batches as keep each command line within
// maxLine characters (CreateProcess's limit without the terminator by default). An alias
// whose line alone is too long still gets a batch of its own, which cannot start and is
// reported like any failed start. Rows without a table entry are left out.
std::vector<AliasBatch> AliasBatches(const std::vector<CatalogueRow>& rows, size_t maxLine = kMaxCommandLine - 1);

// What the script said about one alias.
struct AliasAnswer {
    bool complete = false;  // "Z" arrived and nothing went wrong
    std::wstring error;     // the reason when it failed ("E", or an unreadable record)
    std::vector<WmiInstance> instances;
};

// The answers in the script's output, by alias. An alias that never reached "Z" or "E" is
// present but neither complete nor with an error.
std::map<std::wstring, AliasAnswer> ParseAliasOutput(const std::wstring& output);

}  // namespace skelda
