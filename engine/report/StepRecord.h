#pragma once
// The record of one step: what ran, for how long, with which outcome. Every step kind returns
// them, the journal collects them, and the run's report writes them into the archive, so that
// the support engineer sees why a report is empty or missing.
#include <windows.h>

#include <optional>
#include <string>

namespace engine::report {

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

// Start time and duration of one step.
class StepClock {
public:
    StepClock();
    // Sets the record's start and duration, up to now.
    void Finish(StepRecord& record) const;

private:
    SYSTEMTIME start_{};
    ULONGLONG startTick_ = 0;
};

// "2026-12-08 15:47:22.123"
std::wstring TimeText(const SYSTEMTIME& time);

}  // namespace engine::report
