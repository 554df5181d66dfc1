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

// Copies what it can; an entry that cannot be copied is skipped, logged and added to skipped
// as "<path> (error <code>)". copied counts the entries that arrived.
void CopyEntries(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                 bool failIfExists, int& copied, std::vector<std::wstring>& skipped) {
    const std::wstring from = skelda::WithTrailingBackslash(source);
    const std::wstring to = skelda::WithTrailingBackslash(target);
    auto skip = [&skipped](const std::wstring& path, unsigned long error) {
        skipped.push_back(path + L" (error " + std::to_wstring(error) + L")");
        toollog::Log(Entry::FileSkipped, path + L" (" + std::to_wstring(error) + L")");
    };
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
                    const DWORD error = ::GetLastError();  // before the path is put together
                    skip(from + name, error);
                    continue;
                }
                ++copied;
            }
            CopyEntries(from + name, L"*", to + name, failIfExists, copied, skipped);
        } else {
            unsigned long error = 0;
            if (CopySharedFile(from + name, to + name, failIfExists, error)) {
                ++copied;
            } else {
                skip(from + name, error);
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
                  bool failIfExists, std::vector<std::wstring>* skipped) {
    if (source.empty()) return false;
    EnableBackupPrivilege();
    int copied = 0;
    std::vector<std::wstring> own;
    CopyEntries(source, pattern, target, failIfExists, copied, skipped ? *skipped : own);
    return copied > 0;
}

bool CopyFolder(const std::wstring& source, const std::wstring& target, bool failIfExists,
                std::vector<std::wstring>* skipped) {
    return CopyMatching(source, L"*", target, failIfExists, skipped);
}

bool CopySetupApiLogs(const std::wstring& source, const std::wstring& target, bool failIfExists,
                      std::vector<std::wstring>* skipped) {
    return CopyMatching(source, L"setupapi*.log", target, failIfExists, skipped);
}

}  // namespace engine
