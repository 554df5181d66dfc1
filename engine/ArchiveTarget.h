#pragma once
// Text rules for where a run's archive goes and what the finished archive is checked against.
// No file system is touched.
#include <windows.h>

#include <string>
#include <vector>

#include "RunReport.h"

namespace engine {

// The archive path with ".7z" added where its last name has no extension, as 7-Zip would add it.
std::wstring WithArchiveExtension(const std::wstring& path);

// The folder the packer writes into, made by the run beside the target:
// "<archive>.<process id>.partial".
std::wstring TemporaryFolderPath(const std::wstring& archivePath, unsigned long processId);

// The archive inside that folder, under the target's own name (which always has an extension,
// so 7-Zip takes it as it is).
std::wstring TemporaryArchivePath(const std::wstring& archivePath, unsigned long processId);

// True for a name an earlier run of ours left beside the archive named archiveName:
// "<archiveName>.<digits>.partial" (a folder) or "<archiveName>.<digits>.partial.7z" (a file
// of older versions). Compared without regard to case.
bool IsEarlierTemporaryName(const std::wstring& name, const std::wstring& archiveName);

// The name under which a finished archive that cannot take the target's place is kept beside
// it: "<name> (<yyyy-mm-dd hh.mm.ss>)<extension>", with " <attempt>" before the closing
// parenthesis from attempt 2 on.
std::wstring KeptArchiveName(const std::wstring& archiveName, const SYSTEMTIME& time, int attempt);

// The entry names of a "7z l -slt" listing (the archive's own "Path =" line above the
// "----------" line left out), "\" between folders.
std::vector<std::wstring> ListedPaths(const std::wstring& listing);

// The expected names (relative, "\" between folders) that the listing lacks, in their order.
// Compared without regard to case, as Windows names are.
std::vector<std::wstring> MissingFromListing(const std::vector<std::wstring>& expected,
                                             const std::vector<std::wstring>& listed);

// The file added to an archive that lacks something.
constexpr const wchar_t* kArchiveCheckName = L"archive-check.txt";

// Its text: UTF-8 with byte-order mark, CR LF: the packer's exit code and messages, then every
// file that should be in the archive and is not.
std::string ArchiveCheckText(unsigned long packerExitCode, const std::wstring& packerMessages,
                             const std::vector<std::wstring>& missing);

// Marks the steps whose output holds a file still open for writing when packing began
// ("/" between folders, relative to the archive root): an "ok" step becomes "partial", and
// every step so marked names the file in its reason.
void MarkHeldFiles(std::vector<StepRecord>& records, const std::vector<std::wstring>& heldFiles);

}  // namespace engine
