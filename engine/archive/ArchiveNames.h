#pragma once
// Text rules for where a run's archive goes: its name, the packing folder beside it, left-overs
// of earlier runs and the name it is kept under beside a target it cannot replace. No file
// system is touched.
#include <windows.h>

#include <string>

namespace engine::archive {

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

}  // namespace engine::archive
