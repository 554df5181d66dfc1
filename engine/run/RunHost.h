#pragma once
// What a run tells the host that started it: the one way results leave the engine. The host
// (host/WindowHost) turns them into the interface's messages and variables.
#include <windows.h>

#include <string>

#include "api/OrvaneSkeldaApi.h"

namespace engine::run {

class RunHost {
public:
    virtual ~RunHost() = default;

    // A new run begins: nothing said about an earlier one stands.
    virtual void RunBegins() = 0;
    // The archive's target as the run resolved it, before any step runs.
    virtual void TargetResolved(const std::wstring& target) = 0;
    // Why no place could be had for the working folder or the archive, before the folder-failure pair.
    virtual void FolderProblem(const std::wstring& reason) = 0;
    // Where the finished archive is and, when it lacks something, what (one line; empty when
    // nothing), before the success pair.
    virtual void ArchiveFinished(const std::wstring& archive, const std::wstring& lacks) = 0;
    // The summary is written into what will be packed; its problem counts
    // (summary::ProblemCountsText), before the success pair.
    virtual void SummaryWritten(const std::wstring& problemCounts) = 0;
    // What was collected could not be packed and is kept in the folder place, before the
    // run's last pair.
    virtual void CollectionKept(const std::wstring& place) = 0;
    // True when the host asked for a word after each step.
    virtual bool WantsProgress() const = 0;
    // One step ended; the texts live only during the call.
    virtual void StepEnded(const api::StepProgress& progress) = 0;
    // The pair that ends a worker's part for the host: kResultFinished, then result. Each pair
    // arrives whole, whichever worker sends it.
    virtual void ResultPair(WPARAM result) = 0;
};

}  // namespace engine::run
