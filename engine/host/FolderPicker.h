#pragma once
// The folder browser behind SelectSaveSystemInfoFilePosition, and the archive path composed from
// the folder the user picked.
#include <windows.h>

#include <string>

namespace engine::host {

// The size of the caller's buffer the engine may fill, terminator included.
constexpr size_t kArchivePathCapacity = MAX_PATH;

// Writes folder + "\" + the default archive name with its terminator into buffer when it fits
// into kArchivePathCapacity characters and returns true; otherwise leaves buffer untouched.
bool WriteArchivePath(const std::wstring& folder, wchar_t* buffer);

// Shows the folder browser owned by owner. 1 with the archive path in buffer for a picked
// folder; 1 with buffer untouched for a pick without a file-system path; 0 for a cancel or a
// path too long for the buffer.
int PickArchiveFolder(HWND owner, wchar_t* buffer);

}  // namespace engine::host
