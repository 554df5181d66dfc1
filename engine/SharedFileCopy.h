#pragma once
// Copying log files that the system may hold open: the servicing stack keeps CBS.log open, a
// device install its setupapi log.
#include <string>

namespace engine {

// Enables the backup privilege of the process token, once per process, so that files whose
// access list would refuse a plain read can still be read. false where the token lacks it
// (an unelevated process); copying then works without it where the access list allows.
bool EnableBackupPrivilege();

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

}  // namespace engine
