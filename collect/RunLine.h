#pragma once
// The console host's last line under --json: one JSON object for the programs that run it on
// many PCs (Intune and Configuration Manager keep only the first few KB of a script's output).
#include <string>
#include <utility>
#include <vector>

namespace collect {

struct RunLineFacts {
    int exitCode = 0;
    std::wstring archive;             // where the archive is; empty: none was made
    unsigned long long archiveBytes = 0;
    std::string archiveSha256;        // lowercase hex; empty where it could not be read
    double seconds = 0;               // from the host's start to its end
    std::vector<std::pair<std::wstring, int>> steps;  // outcome and count, in the order they came
    std::wstring lacks;               // what the archive lacks, as the engine said it; empty: nothing
    std::wstring kept;                // where what could not be packed is kept; empty: nothing
    // The summary's problem counts as the engine gives them ("steps_not_ok=0;disks_low=-;…");
    // empty: no summary.
    std::wstring problems;
};

// The problem counts of "name=count;…": a count, or -1 for "-" (the summary could not count).
// A part that is not a lowercase name, "=" and digits or "-" is left out.
std::vector<std::pair<std::string, long long>> ParseProblemCounts(const std::wstring& text);

// The exit code in one word: "collected", "collected-not-all-ok", "failed", "folder-failed",
// "refused", "unsupported", "busy", "not-elevated", "unsafe-loading", "shipped-file-refused",
// "usage"; "unknown" otherwise.
const char* OutcomeWord(int exitCode);

// The facts as one JSON object on one line (UTF-8, no line break), of at most maxBytes; the
// problem counts are an object of numbers, null for one not counted, or null without a summary. Where
// they would not fit, the free texts give way in turn (what the archive lacks, where the
// collection is kept, the archive's path), each cut to what fits and ending in "…", and the
// object's "cut" names them; counts, sizes and the digest are never cut.
std::string RunLine(const RunLineFacts& facts, size_t maxBytes = 2048);

}  // namespace collect
