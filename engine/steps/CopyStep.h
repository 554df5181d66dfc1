#pragma once
// The step kind of copies: the update log, the CBS folder and the setupapi logs. The servicing
// stack keeps CBS.log open and a device install its setupapi log, so files are read with full
// sharing and backup semantics; what still cannot be read is skipped and named.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "plan/StepPlan.h"
#include "report/StepRecord.h"

namespace engine::steps {

// What a copy may take, as a command may: the step's time limit, and room on the working
// volume. A multi-gigabyte CBS folder or a failing disk must not hold a slot of the pool past
// the run's limit, nor fill the volume the run packs from.
struct CopyBounds {
    DWORD limitMs = INFINITE;
    // Milliseconds on a steady clock; GetTickCount64 where empty (tests pass their own).
    std::function<ULONGLONG()> clock;
    // Bytes free to this process on the volume that holds the folder; the system's answer where
    // empty.
    std::function<ULONGLONG(const std::wstring& folder)> freeBytes;
    // Room kept free beyond what is copied: the report, the packer's own files.
    static constexpr ULONGLONG kMarginBytes = 64ULL << 20;
};

// Copies the step's source within bounds. The record is not-found without a source, failed when
// nothing arrived (the reason names each entry that could not be copied, with the system's
// error), and partial when some entries were left out (named likewise), or when the copy
// stopped at its limit or for want of room (naming what it left out). A follow-up's source last
// written before the step before it started is not copied at all: it is from an earlier run
// (failed).
report::StepRecord RunCopyStep(const plan::PlannedStep& step, const CopyBounds& bounds = {});

// Copies the entries of source that match pattern into target; sub-folders are copied whole
// and an empty one is created empty. An entry that cannot be copied is skipped, logged and,
// when skipped is given, added to it as "<path> (error <code>)". true when at least one entry
// arrived.
bool CopyMatching(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                  bool failIfExists, std::vector<std::wstring>* skipped = nullptr);
bool CopyFolder(const std::wstring& source, const std::wstring& target, bool failIfExists,
                std::vector<std::wstring>* skipped = nullptr);
bool CopySetupApiLogs(const std::wstring& source, const std::wstring& target, bool failIfExists,
                      std::vector<std::wstring>* skipped = nullptr);

// Copies one file with full sharing (readers, writers and deleters of the source are not
// disturbed and do not disturb) and backup semantics. The copy keeps the source's last-write
// time. On failure nothing is left at target and the system's error code is returned in
// error; with failIfExists an existing target is a failure.
bool CopySharedFile(const std::wstring& source, const std::wstring& target, bool failIfExists, unsigned long& error);

// The error of a copy refused because its source is a link, or not where its path says
// (ERROR_REPARSE_POINT_ENCOUNTERED).
constexpr unsigned long kLinkRefused = 4395;

// Copies a file from a place the user can write (the update log on the user's desktop) as
// CopySharedFile does, but only the file at that path itself: a link at its place, or a
// junction on the way to it, would let the user have an elevated run read any file into an
// archive they can open. Such a source is refused with kLinkRefused.
bool CopyUserFile(const std::wstring& source, const std::wstring& target, unsigned long& error);

}  // namespace engine::steps
