#include "steps/CopyStep.h"

#include <windows.h>

#include "toollog/LogEntries.h"
#include "files/FileSystem.h"
#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "text/PathText.h"
#include "win/ProcessToken.h"
#include "win/UniqueHandle.h"

using toollog::Entry;

namespace engine::steps {

using plan::CopyKind;
using plan::PlannedStep;
using report::Outcome;
using report::StepClock;
using report::StepRecord;

namespace {

// The backup privilege lets a file whose access list would refuse a plain read still be read;
// a token without it (an unelevated run) copies where the list allows. Once per process.
void EnableBackupPrivilege() {
    static const bool enabled = util::win::EnablePrivilege(SE_BACKUP_NAME);
    (void)enabled;
}

// Copies what the open file holds to target; on failure nothing is left there.
bool CopyOpenFile(HANDLE in, const std::wstring& target, bool failIfExists, unsigned long& error) {
    util::win::UniqueHandle out(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                           failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) {
        error = ::GetLastError();
        return false;
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            error = ::GetLastError();
            break;
        }
        if (got == 0) {
            FILETIME written{};
            if (::GetFileTime(in, nullptr, nullptr, &written))
                ::SetFileTime(out.Get(), nullptr, nullptr, &written);
            return true;
        }
        DWORD put = 0;
        const bool wrote = ::WriteFile(out.Get(), buffer.data(), got, &put, nullptr) != 0;
        if (!wrote || put != got) {
            error = wrote ? ERROR_DISK_FULL : ::GetLastError();  // a short write sets no error
            break;
        }
    }
    out.Reset();
    ::DeleteFileW(target.c_str());
    return false;
}

// Copies what it can; an entry that cannot be copied is skipped, logged and added to skipped
// as "<path> (error <code>)". copied counts the entries that arrived.
void CopyEntries(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                 bool failIfExists, int& copied, std::vector<std::wstring>& skipped) {
    const std::wstring to = util::text::WithTrailingBackslash(target);
    auto skip = [&skipped](const std::wstring& path, unsigned long error) {
        skipped.push_back(path + L" (error " + std::to_wstring(error) + L")");
        toollog::Log(Entry::FileSkipped, path + L" (" + std::to_wstring(error) + L")");
    };
    util::files::ListFolder(source, pattern, [&](const util::files::FolderEntry& entry) {
        if (entry.Folder()) {
            // A folder counts when it is made now: an empty one arrives too.
            if (!util::files::PathExists(to + entry.name)) {
                if (!::CreateDirectoryW((to + entry.name).c_str(), nullptr)) {
                    skip(entry.path, ::GetLastError());
                    return;
                }
                ++copied;
            }
            CopyEntries(entry.path, L"*", to + entry.name, failIfExists, copied, skipped);
        } else {
            unsigned long error = 0;
            if (CopySharedFile(entry.path, to + entry.name, failIfExists, error)) {
                ++copied;
            } else {
                skip(entry.path, error);
            }
        }
    });
}

// The log lines of each copy: when its source is missing, and when nothing could be copied.
struct CopyLines {
    Entry missing;
    Entry failed;
};

CopyLines LinesOf(CopyKind kind) {
    switch (kind) {
        case CopyKind::UpdateLog: return {Entry::UpdateLogMissing, Entry::UpdateLogExportFailed};
        case CopyKind::CbsFolder: return {Entry::CbsMissing, Entry::CbsExportFailed};
        case CopyKind::SetupApiLogs: return {Entry::InfMissing, Entry::InfExportFailed};
    }
    return {Entry::UpdateLogMissing, Entry::UpdateLogExportFailed};
}

// Copies the step's source; true when anything arrived. Entries left out are added to skipped
// as "<path> (error <code>)", with the error as the system gave it.
bool Copy(CopyKind kind, const std::wstring& source, const std::wstring& target, std::vector<std::wstring>& skipped) {
    switch (kind) {
        case CopyKind::UpdateLog: {
            unsigned long error = 0;
            if (CopyUserFile(source, target, error)) return true;
            skipped.push_back(source + L" (error " + std::to_wstring(error) + L")");
            return false;
        }
        case CopyKind::CbsFolder: return CopyFolder(source, target, false, &skipped);
        case CopyKind::SetupApiLogs: return CopySetupApiLogs(source, target, false, &skipped);
    }
    return false;
}

std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += (text.empty() ? L"" : L", ") + item;
    return text;
}

// The file's last-write time (UTC, FILETIME units); 0 when it cannot be read.
ULONGLONG LastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A UTC FILETIME value as local time text.
std::wstring LocalTimeText(ULONGLONG fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!::FileTimeToSystemTime(&utc, &universal)) return L"?";
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) local = universal;
    return report::TimeText(local);
}

// FAT keeps last-write times to two seconds, rounded down: a file written just after its tool
// started may look a little older.
constexpr ULONGLONG kWriteTimeSlack = 2ULL * 10000000ULL;

// The update log that could not be had: the system's own line, then what happened.
void LogUpdateLogLost(Entry detail, const std::wstring& text) {
    toollog::Log(Entry::UpdateLogExportFailed);
    toollog::Log(detail, text);
}

}  // namespace

StepRecord RunCopyStep(const PlannedStep& step) {
    const StepClock clock;
    StepRecord record;
    record.what = step.what;
    record.output = step.output;
    const CopyLines lines = LinesOf(step.copy);
    const bool updateLog = step.copy == CopyKind::UpdateLog;
    // A file a tool was told to write into the working folder itself is only checked.
    const bool inPlace = step.what == step.output;
    const ULONGLONG written = step.producerStart ? LastWriteOf(step.what) : 0;
    std::vector<std::wstring> skipped;
    if (!util::files::PathExists(step.what)) {
        if (updateLog) LogUpdateLogLost(lines.missing, step.what);
        else toollog::Log(lines.missing);
        record.outcome = inPlace ? Outcome::Failed : Outcome::NotFound;
        record.reason = inPlace ? L"the tool that writes it wrote nothing" : L"not on this system";
    } else if (written && written + kWriteTimeSlack < step.producerStart) {
        // An earlier export's file: the user's, left where it is.
        LogUpdateLogLost(Entry::UpdateLogStale, step.what + L" (" + LocalTimeText(written) + L")");
        record.outcome = Outcome::Failed;
        record.reason = L"not copied: the log is from before this run (last written " + LocalTimeText(written) +
                        L", before the step that writes it started at " + LocalTimeText(step.producerStart) + L")";
    } else if (!inPlace && !Copy(step.copy, step.what, step.output, skipped)) {
        if (updateLog) LogUpdateLogLost(Entry::FileSkipped, Joined(skipped));
        else toollog::Log(lines.failed);
        record.outcome = Outcome::Failed;
        record.reason = L"nothing could be copied" + (skipped.empty() ? L"" : L": " + Joined(skipped));
    } else if (!skipped.empty()) {
        record.outcome = Outcome::Partial;
        record.reason = L"skipped what could not be read: " + Joined(skipped);
    }
    record.bytes = util::files::BytesAt(step.output);
    clock.Finish(record);
    return record;
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

bool CopySharedFile(const std::wstring& source, const std::wstring& target, bool failIfExists, unsigned long& error) {
    util::win::UniqueHandle in(::CreateFileW(source.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr));
    if (!in.Valid()) {
        error = ::GetLastError();
        return false;
    }
    return CopyOpenFile(in.Get(), target, failIfExists, error);
}

bool CopyUserFile(const std::wstring& source, const std::wstring& target, unsigned long& error) {
    util::win::UniqueHandle in = util::files::OpenNoFollow(source, GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!in.Valid()) {
        error = ::GetLastError();
        return false;
    }
    if (!util::files::IsPlainObjectAt(in.Get(), source, false)) {
        error = kLinkRefused;
        return false;
    }
    return CopyOpenFile(in.Get(), target, false, error);
}

}  // namespace engine::steps
