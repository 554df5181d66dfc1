// Behaves as an anti-virus scanner or a sync agent does with new files: every new .7z file that
// appears anywhere below a folder is opened within milliseconds, without delete sharing, and held
// for a while.
//   ScanLikeHolder <folder> <hold ms> <ready marker> <stop marker>
// Writes the ready marker once watching; ends when the stop marker appears (five minutes at
// most). Prints each file it held (UTF-8) when it ends.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Held {
    HANDLE handle;
    ULONGLONG since;
};

void FindArchives(const std::wstring& folder, std::vector<std::wstring>& found) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            FindArchives(path, found);
        } else if (name.size() > 3 && _wcsicmp(name.c_str() + name.size() - 3, L".7z") == 0) {
            found.push_back(path);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 64;
    const std::wstring folder = argv[1];
    const ULONGLONG holdMs = _wtoi(argv[2]);
    std::map<std::wstring, Held> held;
    std::map<std::wstring, bool> seen;
    std::vector<std::wstring> log;
    HANDLE ready = ::CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) ::CloseHandle(ready);
    const ULONGLONG start = ::GetTickCount64();
    while (::GetFileAttributesW(argv[4]) == INVALID_FILE_ATTRIBUTES && ::GetTickCount64() - start < 300000) {
        std::vector<std::wstring> found;
        FindArchives(folder, found);
        for (const std::wstring& path : found) {
            if (seen[path]) continue;
            // Read and write shared (the writer may still be at it), delete not: as scanners do.
            HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE) continue;
            seen[path] = true;
            held[path] = {handle, ::GetTickCount64()};
        }
        for (auto it = held.begin(); it != held.end();) {
            if (::GetTickCount64() - it->second.since < holdMs) {
                ++it;
                continue;
            }
            ::CloseHandle(it->second.handle);
            log.push_back(it->first);
            it = held.erase(it);
        }
        ::Sleep(5);
    }
    for (auto& [path, entry] : held) {
        ::CloseHandle(entry.handle);
        log.push_back(path);
    }
    for (const std::wstring& path : log) {
        const std::wstring line = L"held " + path + L"\n";
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(n > 0 ? n - 1 : 0, '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &utf8[0], n, nullptr, nullptr);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    }
    return 0;
}
