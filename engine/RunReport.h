#pragma once
// The record of a run that travels inside its archive: what ran, for how long, with which
// result, so that the support engineer sees why a report is empty or missing.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace engine {

// Partial: the step produced its output but left something out (the reason names what: files a
// copy skipped, a file still held open when packing began).
enum class Outcome { Ok, Failed, TimedOut, Skipped, NotFound, Partial };
constexpr int kOutcomeCount = 6;

// "ok", "failed", "timed-out", "skipped", "not-found", "partial".
const wchar_t* OutcomeName(Outcome outcome);

struct StepRecord {
    int worker = 0;           // 1 to 4
    std::wstring category;    // the category's top-level folder
    std::wstring what;        // the command line, or the folder or file copied
    std::wstring output;      // relative to the archive root, "/" between folders; empty: none
    SYSTEMTIME start{};       // local time
    DWORD durationMs = 0;
    std::optional<DWORD> exitCode;
    ULONGLONG bytes = 0;      // written into the output
    Outcome outcome = Outcome::Ok;
    std::wstring reason;      // in words; empty for a plain ok
};

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
std::string JsonString(const std::wstring& text);

// "2026-12-08 15:47:22.123"
std::wstring TimeText(const SYSTEMTIME& time);

// The file names inside the archive.
constexpr const wchar_t* kReportTextName = L"收集报告.txt";
constexpr const wchar_t* kReportJsonName = L"collection-report.json";

}  // namespace engine
