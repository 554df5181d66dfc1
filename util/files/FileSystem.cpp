#include "files/FileSystem.h"

#include "files/FolderWalker.h"
#include "files/ObjectFacts.h"
#include "text/LongPath.h"
#include "win/UniqueHandle.h"

namespace util::files {

using text::JoinParts;
using text::LongPath;
using text::PathParts;
using text::SplitFullPath;
using win::UniqueHandle;

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int EnsureFolderTree(const std::wstring& path, SECURITY_ATTRIBUTES* access) {
    auto ensure = [access](const std::wstring& folder) {
        return PathExists(folder) || ::CreateDirectoryW(folder.c_str(), access);
    };
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        // The long form: its root (a drive or a share) is there or not; the folders below it
        // are made.
        const PathParts parts = SplitFullPath(path);
        if (!parts.valid) return 0;
        for (size_t i = 1; i <= parts.names.size(); ++i) {
            if (i == parts.names.size() && parts.names.back().find(L".7z") != std::wstring::npos) break;
            if (!ensure(LongPath(JoinParts(parts, i)))) return 0;
        }
        return 1;
    }
    std::wstring rest = path;
    std::wstring built;
    size_t idx = rest.find(L'\\');
    while (idx != std::wstring::npos && idx > 0) {
        built += rest.substr(0, idx);
        rest.erase(0, idx + 1);
        if (!ensure(built)) return 0;
        idx = rest.find(L'\\');
        built += L'\\';
        if (idx == std::wstring::npos && !rest.empty() && rest.find(L".7z") == std::wstring::npos) {
            built += rest;
            if (!ensure(built)) return 0;
        }
    }
    return 1;
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    WalkTree(folder, [&files](const FolderEntry& entry) {
        if (!entry.Folder()) files.push_back(entry.path);
        return WalkStep::Enter;
    });
    return files;
}

ULONGLONG BytesAt(const std::wstring& path) {
    const ObjectFacts facts = FactsOfName(path);
    if (!facts.known) return 0;
    if (!facts.Folder()) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    ULONGLONG total = 0;
    WalkTree(path, [&total](const FolderEntry& entry) {
        if (!entry.Folder()) total += entry.size;
        return WalkStep::Enter;
    });
    return total;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueHandle file(::CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::vector<std::wstring> WaitUntilFilesReleased(const std::wstring& folder, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::vector<std::wstring> held;
    for (const std::wstring& file : FilesBelow(folder)) {
        for (;;) {
            // Sharing reading only: refused while anyone has the file open for writing.
            UniqueHandle probe(::CreateFileW(LongPath(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
            if (probe || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
            if (::GetTickCount64() >= deadline) {
                held.push_back(file);
                break;
            }
            ::Sleep(50);
        }
    }
    return held;
}

}  // namespace util::files
