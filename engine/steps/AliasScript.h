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
//   T           the alias gave no answer within its limit; the script went on to the next
// Other lines are ignored. Each alias runs in a runspace of its own under its own limit, so one
// class that hangs costs only its own report.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "text/CommandLine.h"
#include "catalogue/WmiAliasTable.h"
#include "steps/WmicLayout.h"

namespace engine::steps {

constexpr const wchar_t* kPowerShellEncodedStart = L"powershell -NoProfile -NonInteractive -EncodedCommand ";

// A value longer than this many characters is cut to it, with CutMarker after it.
constexpr size_t kValueCutChars = 1024 * 1024;
// What the engine keeps of one batch's answer; the rest is read and dropped.
constexpr size_t kMaxAnswerBytes = 64 * 1024 * 1024;

// "…[cut at 1048576 of <totalChars> characters]", the script's and the engine's marker alike.
std::wstring CutMarker(size_t totalChars);

// The script that answers the aliases in order, each in a runspace of its own that the script
// leaves behind after aliasLimitMs (WMI's own operation timeout is the same): the management
// classes Get-WmiObject reads with, which hand out WMI's raw values, wherever PowerShell has
// them, Get-CimInstance otherwise; each alias in its own try, so one that fails or hangs
// leaves the others alone.
std::wstring AliasScript(const std::vector<const catalogue::WmiAlias*>& aliases, DWORD aliasLimitMs);

// powershell -NoProfile -NonInteractive -EncodedCommand <Base64 of the UTF-16LE script>
std::wstring AliasCommandLine(const std::vector<const catalogue::WmiAlias*>& aliases, DWORD aliasLimitMs);

struct AliasBatch {
    std::vector<const catalogue::WmiAlias*> aliases;
};

// What a batch of count aliases may take: each alias its own limit and one more for
// PowerShell's start, cut to what is left of the run.
DWORD BatchLimitMs(DWORD aliasLimitMs, size_t count, DWORD runLeftMs);

// The rows' aliases in order, cut into as few batches as keep each command line within
// maxLine characters (CreateProcess's limit without the terminator by default) whatever
// limit the script is given. An alias
// whose line alone is too long still gets a batch of its own, which cannot start and is
// reported like any failed start. Rows without a table entry are left out.
std::vector<AliasBatch> AliasBatches(const std::vector<catalogue::CatalogueRow>& rows, size_t maxLine = util::text::kMaxCommandLine - 1);

// What the script said about one alias.
struct AliasAnswer {
    bool complete = false;  // "Z" arrived and nothing went wrong
    bool timedOut = false;  // "T": no answer within its limit
    bool cut = false;       // the batch's answer passed kMaxAnswerBytes while this alias was read
    std::wstring error;     // the reason when it failed ("E", or an unreadable record)
    std::vector<WmiInstance> instances;
    ULONGLONG beganTick = 0;  // GetTickCount64 when "A" arrived and when its last record did
    ULONGLONG endedTick = 0;
};

// Reads the script's answer record by record as it arrives, so that no copy of the whole
// answer is ever held: at most maxBytes of it are kept, what comes after is dropped, and a
// value longer than kValueCutChars is cut with its marker whatever the script did.
class AliasAnswerReader {
public:
    explicit AliasAnswerReader(size_t maxBytes = kMaxAnswerBytes) : maxBytes_(maxBytes) {}
    void Feed(const char* data, size_t size);
    // The answers by alias, a last line without its line end included. An alias that never
    // reached "Z", "E" or "T" is present but none of them.
    std::map<std::wstring, AliasAnswer>& Finish();
    // True once the answer passed maxBytes.
    bool Capped() const { return capped_; }

private:
    void Line(std::string& line);

    size_t maxBytes_;
    size_t seen_ = 0;
    bool capped_ = false;
    std::string line_;
    std::map<std::wstring, AliasAnswer> answers_;
    AliasAnswer* current_ = nullptr;
};

// The answers in a whole output at once (see AliasAnswerReader).
std::map<std::wstring, AliasAnswer> ParseAliasOutput(const std::string& output);

}  // namespace engine::steps
