#pragma once
// The results of a run for the window its host registered: the result pairs and the progress
// messages sent to that window, and what the pair cannot say put into the host process's
// environment (api/OrvaneSkeldaApi.h names both).
#include <windows.h>

#include "run/RunHost.h"
#include "win/UniqueHandle.h"

namespace engine::host {

class WindowHost : public run::RunHost {
public:
    // The window results go to, and whether the host asked for a word after each step.
    void Use(HWND window, bool progress);

    void RunBegins() override;
    void TargetResolved(const std::wstring& target) override;
    void FolderProblem(const std::wstring& reason) override;
    void ArchiveFinished(const std::wstring& archive, const std::wstring& lacks) override;
    void SummaryWritten(const std::wstring& problemCounts) override;
    void CollectionKept(const std::wstring& place) override;
    bool WantsProgress() const override { return progress_; }
    void StepEnded(const api::StepProgress& progress) override;
    void ResultPair(WPARAM result) override;

private:
    HWND window_ = nullptr;
    bool progress_ = false;
    util::win::CriticalSection pairLock_;  // keeps each worker's pair together at the receiver
};

}  // namespace engine::host
