#include "host/WindowHost.h"

namespace engine::host {

void WindowHost::Use(HWND window, bool progress) {
    window_ = window;
    progress_ = progress;
}

void WindowHost::RunBegins() {
    ::SetEnvironmentVariableW(api::kArchiveVariable, nullptr);
    ::SetEnvironmentVariableW(api::kArchiveLacksVariable, nullptr);
    ::SetEnvironmentVariableW(api::kFolderProblemVariable, nullptr);
    ::SetEnvironmentVariableW(api::kKeptVariable, nullptr);
    ::SetEnvironmentVariableW(api::kProblemCountsVariable, nullptr);
}

void WindowHost::TargetResolved(const std::wstring& target) {
    ::SetEnvironmentVariableW(api::kArchiveVariable, target.c_str());
}

void WindowHost::FolderProblem(const std::wstring& reason) {
    ::SetEnvironmentVariableW(api::kFolderProblemVariable, reason.c_str());
}

void WindowHost::ArchiveFinished(const std::wstring& archive, const std::wstring& lacks) {
    ::SetEnvironmentVariableW(api::kArchiveVariable, archive.c_str());
    if (!lacks.empty()) ::SetEnvironmentVariableW(api::kArchiveLacksVariable, lacks.c_str());
}

void WindowHost::SummaryWritten(const std::wstring& problemCounts) {
    ::SetEnvironmentVariableW(api::kProblemCountsVariable, problemCounts.c_str());
}

void WindowHost::CollectionKept(const std::wstring& place) {
    ::SetEnvironmentVariableW(api::kKeptVariable, place.c_str());
}

void WindowHost::StepEnded(const api::StepProgress& progress) {
    ::SendMessageW(window_, api::kStepMessage, 0, reinterpret_cast<LPARAM>(&progress));
}

void WindowHost::ResultPair(WPARAM result) {
    util::win::CriticalSectionLock hold(pairLock_.Native());
    ::SendMessageW(window_, api::kResultMessage, api::kResultFinished, 0);
    ::SendMessageW(window_, api::kResultMessage, result, 0);
}

}  // namespace engine::host
