#pragma once
// Pieces of a collection run that need no collector: the working folder and the packer.
#include <windows.h>

#include <string>
#include <vector>

namespace engine {

// What the run's report says of the tool and the engine.
constexpr const wchar_t* kToolVersionText = L"Skelda V 1.0";
constexpr const wchar_t* kEngineVersionText = L"OrvaneSkelda 1.0";

// The working folder's name beside the engine.
constexpr const wchar_t* kWorkingFolderName = L"SystemInfoLog";

// The folder of the engine's own module, with a trailing backslash; empty when it cannot be
// found.
std::wstring GetModuleFolder();

// The packer's command line: "<packer>" a -t7z "<archive>" "<M>SystemInfoLog\*" and switches.
std::wstring PackerCommandLine(const std::wstring& moduleFolder, bool x64, const std::wstring& archivePath);

// The packer file for the given build beside the engine.
std::wstring PackerPath(const std::wstring& moduleFolder, bool x64);

// What the packer wrote to standard error, on one line for the tool log: its non-empty lines,
// trimmed, joined by " | ", at most maxChars characters (cut ones end in "...").
std::wstring PackerMessageSummary(const std::wstring& errors, size_t maxChars = 2000);

// 7-Zip's exit codes 0 (done) and 1 (done with warnings) both leave an archive.
inline bool PackerSucceeded(unsigned long exitCode) { return exitCode == 0 || exitCode == 1; }

}  // namespace engine
