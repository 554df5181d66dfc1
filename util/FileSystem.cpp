#include "FileSystem.h"

#include "LongPath.h"
#include "UniqueHandle.h"

namespace skelda {

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

namespace {

void CollectFiles(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW(LongPath(folder + L"\\*").c_str(), &data));
    if (!find.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CollectFiles(folder + L"\\" + name, files);
        else files.push_back(folder + L"\\" + name);
    } while (::FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    CollectFiles(folder, files);
    return files;
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

}  // namespace skelda
