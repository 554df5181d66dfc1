#include "run/StepJournal.h"

#include "api/Categories.h"
#include "toollog/LogEntries.h"
#include "api/OrvaneSkeldaApi.h"
#include "text/PathText.h"

namespace engine::run {

using report::Outcome;
using report::OutcomeName;

std::wstring ArchiveRelative(const std::wstring& workingFolder, const std::wstring& path) {
    const std::wstring base = util::text::WithTrailingBackslash(workingFolder);
    if (path.size() <= base.size() || _wcsnicmp(path.c_str(), base.c_str(), base.size()) != 0) return path;
    return util::text::ReplaceAll(path.substr(base.size()), L"\\", L"/");
}

void StepJournal::Begin(const RunLimits& limits, const std::wstring& workingFolder, RunHost* host, int planned) {
    util::win::CriticalSectionLock hold(lock_.Native());
    records_.clear();
    limits_ = limits;
    deadline_ = ::GetTickCount64() + limits.runMs;
    workingFolder_ = util::text::WithTrailingBackslash(workingFolder);
    host_ = host && host->WantsProgress() ? host : nullptr;
    planned_ = planned;
    ::GetLocalTime(&runStart_);
}

DWORD StepJournal::StepLimit(bool longStep) const {
    const DWORD left = RunLeftMs();
    const DWORD limit = longStep ? limits_.longCommandMs : limits_.commandMs;
    return left < limit ? left : limit;
}

DWORD StepJournal::RunLeftMs() const {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline_) return 0;
    const ULONGLONG left = deadline_ - now;
    return left < INFINITE ? static_cast<DWORD>(left) : INFINITE - 1;
}

void StepJournal::AddPlanned(int steps) {
    util::win::CriticalSectionLock hold(lock_.Native());
    planned_ += steps;
}

void StepJournal::Record(int worker, StepRecord record) {
    record.worker = worker;
    record.output = ArchiveRelative(workingFolder_, record.output);
    if (record.category.empty()) record.category = util::text::FirstComponent(util::text::ReplaceAll(record.output, L"/", L"\\"));
    if (record.outcome != Outcome::Ok)
        toollog::Log(toollog::Entry::StepNotOk, std::wstring(OutcomeName(record.outcome)) + L": " + record.what +
                                                    (record.reason.empty() ? L"" : L" (" + record.reason + L")"));
    engine::api::StepProgress progress{};
    RunHost* host = nullptr;
    {
        util::win::CriticalSectionLock hold(lock_.Native());
        records_.push_back(record);
        if (planned_ < static_cast<int>(records_.size())) planned_ = static_cast<int>(records_.size());
        progress = {static_cast<int>(records_.size()), planned_, OutcomeName(record.outcome), record.durationMs,
                    nullptr};
        host = host_;
    }
    // Outside the lock: the host prints while the other workers go on recording.
    if (host) {
        progress.what = record.what.c_str();
        host->StepEnded(progress);
    }
}

std::vector<StepRecord> StepJournal::Records() const {
    util::win::CriticalSectionLock hold(lock_.Native());
    return records_;
}

}  // namespace engine::run
