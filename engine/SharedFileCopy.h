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

}  // namespace engine
