#pragma once
// Composing the archive path from a folder the user picked.
#include <windows.h>

#include <string>

namespace engine {

// The archive's file name inside the chosen folder.
constexpr const wchar_t* kArchiveFileName = L"信息收集.7z";

// The size of the caller's buffer the engine may fill, terminator included.
constexpr size_t kArchivePathCapacity = MAX_PATH;

// Writes folder + "\" + kArchiveFileName with its terminator into buffer when it fits into
// kArchivePathCapacity characters and returns true; otherwise leaves buffer untouched.
bool WriteArchivePath(const std::wstring& folder, wchar_t* buffer);

}  // namespace engine
