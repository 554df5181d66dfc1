#pragma once
// File and text helpers of the log-file collectors.
#include <string>
#include <vector>

namespace engine {

// The event-log names of a "wevtutil el" listing: each line that ends in CR LF and is longer
// than one character; blank lines are skipped and text after the last line end is not used.
std::vector<std::wstring> EventLogNames(const std::wstring& listing);

// The export file name of a log: every "/" becomes "%", then ".evtx".
std::wstring EventLogFileName(const std::wstring& logName);

// wevtutil's command line that exports one log into folder.
std::wstring EventLogExportCommand(const std::wstring& logName, const std::wstring& folder);

// Copies the entries of source that match pattern into target; sub-folders are copied whole
// and an empty one is created empty. Files are read with full sharing and backup semantics;
// an entry that still cannot be copied is skipped, logged and, when skipped is given, added to
// it as "<path> (error <code>)". true when at least one entry arrived.
bool CopyMatching(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                  bool failIfExists, std::vector<std::wstring>* skipped = nullptr);
bool CopyFolder(const std::wstring& source, const std::wstring& target, bool failIfExists,
                std::vector<std::wstring>* skipped = nullptr);
bool CopySetupApiLogs(const std::wstring& source, const std::wstring& target, bool failIfExists,
                      std::vector<std::wstring>* skipped = nullptr);

}  // namespace engine
