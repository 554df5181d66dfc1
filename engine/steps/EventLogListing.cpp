#include "steps/EventLogListing.h"

#include "text/Lines.h"
#include "toollog/LogEntries.h"
#include "steps/ToolStep.h"

namespace engine::steps {

using report::Outcome;
using report::StepClock;

std::vector<std::wstring> EventLogNames(const std::wstring& listing) {
    std::vector<std::wstring> names;
    std::wstring rest = listing;
    for (size_t end = rest.find(L"\r\n"); end != std::wstring::npos; end = rest.find(L"\r\n")) {
        std::wstring name = rest.substr(0, end);
        const size_t next = rest.find_first_not_of(L"\r\n", end);
        rest.erase(0, next == std::wstring::npos ? rest.size() : next);
        if (name.size() > 1) names.push_back(std::move(name));
    }
    return names;
}

ListingResult RunListingStep(const child::ChildLauncher& launcher, const plan::PlannedStep& step, DWORD limitMs) {
    const StepClock clock;
    ListingResult result;
    report::StepRecord& record = result.record;
    record.what = step.what;
    record.category = step.category;
    child::ChildSpec spec;
    spec.program = ToolPath(step.program);
    spec.commandLine = step.what;
    spec.output = child::Output::Capture;
    // Only its output lists logs: an error text (the Event Log service stopped, say) is no name.
    spec.errors = child::Errors::Apart;
    spec.limitMs = limitMs;
    const child::ChildResult listing = launcher.Run(spec);
    if (!listing.started) {
        toollog::Log(toollog::Entry::EventLogListFailed);
        record.outcome = Outcome::Failed;
        record.reason = StartFailureReason(listing);
    } else if (listing.timedOut) {
        record.exitCode = listing.exitCode;
        record.outcome = Outcome::TimedOut;
        record.reason = TimedOutReason(listing);
    } else if (listing.exitCode != 0) {
        // What it listed before failing may be any part of the logs: no export starts from it.
        record.exitCode = listing.exitCode;
        record.outcome = Outcome::Failed;
        record.reason = L"exit code " + std::to_wstring(listing.exitCode);
        const std::wstring message = util::text::OneLineSummary(listing.errors, 500);
        if (!message.empty()) record.reason += L": " + message;
        toollog::Log(toollog::Entry::EventLogListFailed, record.reason);
        NoteWithoutJob(record, listing);
    } else {
        NoteWithoutJob(record, listing);
        result.names = EventLogNames(listing.output);
    }
    clock.Finish(record);
    return result;
}

}  // namespace engine::steps
