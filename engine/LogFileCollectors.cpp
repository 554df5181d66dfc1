// Workers 1 and 2: event logs, update, CBS and INF logs, the systeminfo report and the WMIC
// reports of the alias catalogue.
#include "LogFileCollectors.h"

#include <shlobj.h>

#include "Categories.h"
#include "Collector.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "OsVersion.h"
#include "PathText.h"
#include "SharedFileCopy.h"
#include "ToolReports.h"
#include "WmiAliasReports.h"
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
            if (!PathExists(to + name)) {
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

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring GetDesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    return std::wstring(path) + L"\\";
}

}  // namespace engine

void CCollector::ExportEventLogs(const std::wstring& folder) {
    // wevtutil is started directly: through the interpreter a "%" of a file name could be
    // taken for a variable.
    const std::wstring wevtutil = engine::ToolPath(skelda::kWevtutilProgram);
    for (const std::wstring& name : engine::EventLogNames(commandOutput)) {
        DWORD ignored = 0;
        const std::wstring command = engine::EventLogExportCommand(name, folder);
        if (!engine::RunProgram(wevtutil, command, ignored))
            toollog::Log(Entry::CommandStartFailed, command + L" (" + std::to_wstring(::GetLastError()) + L")");
    }
}

int CCollector::CollectEventLogs() {
    if (!EnsureArchiveFolder()) return 0;
    if (switches[skelda::kSystemLog]) {
        const std::wstring folder = WorkingFolder() + L"\\" + skelda::CategoryFolder(skelda::kSystemLog);
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::EventLogFolderFailed);
        commandOutput.clear();
        if (engine::RunProgramCapture(engine::ToolPath(skelda::kWevtutilProgram), L"wevtutil el", commandOutput)) {
            ExportEventLogs(folder);
        } else {
            toollog::Log(Entry::EventLogListFailed);
        }
    }
    return FinishWorker();
}

int CCollector::CollectFilesAndWmic() {
    if (!EnsureArchiveFolder()) return 0;
    const std::wstring work = WorkingFolder();

    if (switches[skelda::kUpdateLog]) {
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kUpdateLog);
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::UpdateLogFolderFailed);
        bool haveSource = true;
        std::wstring source = L"c:\\Windows\\WindowsUpdate.log";
        if (osVersionCode >= engine::OS_WIN10) {
            // Windows 10 writes the log on demand, onto the desktop.
            DWORD ignored = 0;
            haveSource = engine::RunProgram(engine::ToolPath(skelda::kPowerShellProgram),
                                            std::wstring(skelda::kPowerShellStart) + L"\"Get-WindowsUpdateLog\"",
                                            ignored) != 0;
            source = engine::GetDesktopFolder() + L"WindowsUpdate.log";
        }
        unsigned long error = 0;
        if (!haveSource) {
            toollog::Log(Entry::UpdateLogExportFailed);
        } else if (!engine::PathExists(source)) {
            toollog::Log(Entry::UpdateLogMissing, source);
        } else if (!engine::CopySharedFile(source, folder + L"\\WindowsUpdate.log", false, error)) {
            toollog::Log(Entry::UpdateLogExportFailed, source + L" (" + std::to_wstring(error) + L")");
        }
    }

    if (switches[skelda::kCbsLog]) {
        const std::wstring cbs = L"C:\\Windows\\Logs\\CBS";
        if (!engine::PathExists(cbs)) {
            toollog::Log(Entry::CbsMissing);
        } else {
            const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kCbsLog);
            if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::CbsFolderFailed);
            if (!engine::CopyFolder(cbs, folder, false)) toollog::Log(Entry::CbsExportFailed);
        }
    }

    if (switches[skelda::kInfLog]) {
        const std::wstring inf = L"C:\\windows\\inf";
        if (!engine::PathExists(inf)) {
            toollog::Log(Entry::InfMissing);
        } else {
            const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kInfLog);
            if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::InfFolderFailed);
            if (!engine::CopySetupApiLogs(inf, folder, false)) toollog::Log(Entry::InfExportFailed);
        }
    }

    if (switches[skelda::kOperatingSystem]) {
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kOperatingSystem) + L"\\系统信息";
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::WmicFolderFailed);
        engine::RunToolReport({skelda::kSysteminfoProgram, L"systeminfo", folder + L"\\系统信息.txt"});
    }

    // Without WMIC the same reports are read from WMI through PowerShell.
    const bool haveWmic = engine::PathExists(engine::ToolPath(skelda::kWmicProgram));
    for (const auto& [folderName, rows] : wmicCatalogue) {
        if (!IsCategoryEnabled(folderName)) continue;
        const std::wstring folder = work + L"\\" + folderName;
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::WmicFolderFailed);
        if (!haveWmic) {
            engine::RunWmiAliasReports(rows, folder);
            continue;
        }
        for (const skelda::CatalogueRow& row : rows) {
            engine::RunToolReport(skelda::WmicReport(row.key, folder, row.label));
        }
    }
    return FinishWorker();
}
