// Event-log names and export commands, and the copies of log files and folders.
#include "LogFileCollectors.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "LogEntries.h"
#include "PathText.h"
#include "SharedFileCopy.h"
#include "UniqueHandle.h"

using toollog::Entry;

namespace engine {
namespace {

// Copies what it can; an entry that cannot be copied is skipped and logged. copied counts
// the entries that arrived.
void CopyEntries(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                 bool failIfExists, int& copied) {
    const std::wstring from = skelda::WithTrailingBackslash(source);
    const std::wstring to = skelda::WithTrailingBackslash(target);
    WIN32_FIND_DATAW data;
    skelda::UniqueFindHandle find(::FindFirstFileW((from + pattern).c_str(), &data));
    if (!find.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A folder counts when it is made now: an empty one arrives too.
            if (!skelda::PathExists(to + name)) {
                if (!::CreateDirectoryW((to + name).c_str(), nullptr)) {
                    toollog::Log(Entry::FileSkipped, from + name + L" (" + std::to_wstring(::GetLastError()) + L")");
                    continue;
                }
                ++copied;
            }
            CopyEntries(from + name, L"*", to + name, failIfExists, copied);
        } else {
            unsigned long error = 0;
            if (CopySharedFile(from + name, to + name, failIfExists, error)) {
                ++copied;
            } else {
                toollog::Log(Entry::FileSkipped, from + name + L" (" + std::to_wstring(error) + L")");
            }
        }
    } while (::FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> EventLogNames(const std::wstring& listing) {
    std::vector<std::wstring> names;
    std::wstring rest = listing;
    for (size_t end = rest.find(L"\r\n"); end != std::wstring::npos; end = rest.find(L"\r\n")) {
        std::wstring name = rest.substr(0, end);
        const size_t next = rest.find_first_not_of(L"\r\n", end);
        rest.erase(0, next == std::wstring::npos ? rest.size() : next);
        if (name.size() > 1) names.push_back(std::move(name));
    }
    return names;
}

std::wstring EventLogFileName(const std::wstring& logName) {
    return skelda::ReplaceAll(logName, L"/", L"%") + L".evtx";
}

std::wstring EventLogExportCommand(const std::wstring& logName, const std::wstring& folder) {
    return L"wevtutil epl " + skelda::Quoted(logName) + L" " +
           skelda::Quoted(folder + L"\\" + EventLogFileName(logName)) + L" /ow:true";
}

bool CopyMatching(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                  bool failIfExists) {
    if (source.empty()) return false;
    EnableBackupPrivilege();
    int copied = 0;
    CopyEntries(source, pattern, target, failIfExists, copied);
    return copied > 0;
}

bool CopyFolder(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    return CopyMatching(source, L"*", target, failIfExists);
}

bool CopySetupApiLogs(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    return CopyMatching(source, L"setupapi*.log", target, failIfExists);
}

}  // namespace engine
