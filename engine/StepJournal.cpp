#include "StepJournal.h"

#include "Categories.h"
#include "LogEntries.h"
#include "OrvaneSkeldaApi.h"
#include "PathText.h"

namespace engine {

StepClock::StepClock() : startTick_(::GetTickCount64()) { ::GetLocalTime(&start_); }

void StepClock::Finish(StepRecord& record) const {
    record.start = start_;
    record.durationMs = static_cast<DWORD>(::GetTickCount64() - startTick_);
}

ULONGLONG BytesAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ULONGLONG total = 0;
    WIN32_FIND_DATAW entry;
    skelda::UniqueFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (!find.Valid()) return 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") total += BytesAt(path + L"\\" + name);
    } while (::FindNextFileW(find.Get(), &entry));
    return total;
}

std::wstring ArchiveRelative(const std::wstring& workingFolder, const std::wstring& path) {
    const std::wstring base = skelda::WithTrailingBackslash(workingFolder);
    if (path.size() <= base.size() || _wcsnicmp(path.c_str(), base.c_str(), base.size()) != 0) return path;
    return skelda::ReplaceAll(path.substr(base.size()), L"\\", L"/");
}

void StepJournal::Begin(const RunLimits& limits, const std::wstring& workingFolder, HWND progressWindow,
                        int planned) {
    skelda::CriticalSectionLock hold(lock_.Native());
    records_.clear();
    limits_ = limits;
    deadline_ = ::GetTickCount64() + limits.runMs;
    workingFolder_ = skelda::WithTrailingBackslash(workingFolder);
    progressWindow_ = progressWindow;
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
    skelda::CriticalSectionLock hold(lock_.Native());
    planned_ += steps;
}

void StepJournal::Record(int worker, StepRecord record) {
    record.worker = worker;
    record.output = ArchiveRelative(workingFolder_, record.output);
    if (record.category.empty()) record.category = skelda::FirstComponent(skelda::ReplaceAll(record.output, L"/", L"\\"));
    if (record.outcome != Outcome::Ok)
        toollog::Log(toollog::Entry::StepNotOk, std::wstring(OutcomeName(record.outcome)) + L": " + record.what +
                                                    (record.reason.empty() ? L"" : L" (" + record.reason + L")"));
    orvane::StepProgress progress{};
    HWND window = nullptr;
    {
        skelda::CriticalSectionLock hold(lock_.Native());
        records_.push_back(record);
        if (planned_ < static_cast<int>(records_.size())) planned_ = static_cast<int>(records_.size());
        progress = {static_cast<int>(records_.size()), planned_, OutcomeName(record.outcome), record.durationMs,
                    nullptr};
        window = progressWindow_;
    }
    // Outside the lock: the host prints while the other workers go on recording.
    if (window) {
        progress.what = record.what.c_str();
        ::SendMessageW(window, orvane::kStepMessage, 0, reinterpret_cast<LPARAM>(&progress));
    }
}

std::vector<StepRecord> StepJournal::Records() const {
    skelda::CriticalSectionLock hold(lock_.Native());
    return records_;
}

}  // namespace engine
