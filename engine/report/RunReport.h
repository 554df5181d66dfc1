#pragma once
// The run's report inside its archive: a text for people and a JSON object for programs, with
// the run's header, one record per step and a summary.
#include <windows.h>

#include <string>
#include <vector>

#include "report/StepRecord.h"
#include "text/JsonText.h"

namespace engine::report {

// What the report says of the tool and the engine.
constexpr const wchar_t* kToolVersionText = L"Skelda V 1.0";
constexpr const wchar_t* kEngineVersionText = L"OrvaneSkelda 1.0";

struct RunHeader {
    std::wstring toolVersion;
    std::wstring engineVersion;
    std::wstring engineArchitecture;  // "x86" or "x64"
    std::wstring windowsVersion;      // major.minor
    DWORD windowsBuild = 0;
    bool windows64 = false;
    SYSTEMTIME start{};
    SYSTEMTIME end{};
    std::vector<int> switches;
    std::wstring toolLog;  // why the tool log or logCfg.ini was not used; empty when they were
    std::vector<std::wstring> limits;  // the limits in force and where each came from, one per line
    std::vector<std::wstring> summaryFiles;  // the summary's files at the archive's top; empty: none
};

// Counts per outcome and the slowest steps, slowest first (at most ten; ties keep their order).
struct RunSummary {
    int counts[kOutcomeCount] = {};
    std::vector<size_t> slowest;  // indexes into the records
};
RunSummary Summarize(const std::vector<StepRecord>& records);

// The human-readable report: UTF-8 with a byte-order mark, CRLF line ends.
std::string ReportText(const RunHeader& header, const std::vector<StepRecord>& records);

// The same as one JSON object (UTF-8, no byte-order mark).
std::string ReportJson(const RunHeader& header, const std::vector<StepRecord>& records);

// text as a JSON string, quotes included.
using util::text::JsonString;

// Marks the steps whose output holds a file still open for writing when packing began
// ("/" between folders, relative to the archive root): an "ok" step becomes "partial", and
// every step so marked names the file in its reason.
void MarkHeldFiles(std::vector<StepRecord>& records, const std::vector<std::wstring>& heldFiles);

}  // namespace engine::report
