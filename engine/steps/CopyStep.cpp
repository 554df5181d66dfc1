#include "steps/CopyStep.h"

#include <windows.h>

#include "toollog/LogEntries.h"
#include "files/FileSystem.h"
#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "text/LongPath.h"
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

// One copy's bounds as it goes: its deadline, the bytes it may still write, and what it left
// out because of them.
class Budget {
public:
    Budget() = default;
    Budget(const CopyBounds& bounds, const std::wstring& target) : clock_(bounds.clock) {
        if (bounds.limitMs != INFINITE) deadline_ = Now() + bounds.limitMs;
        limitMs_ = bounds.limitMs;
        ULONGLONG free = 0;
        if (bounds.freeBytes) {
            free = bounds.freeBytes(target);
        } else {
            ULARGE_INTEGER available{};
            free = ::GetDiskFreeSpaceExW(util::text::WithTrailingBackslash(target).c_str(), &available, nullptr, nullptr)
                       ? available.QuadPart
                       : ~0ULL;  // unknown: the copy itself finds out
        }
        bytesLeft_ = free > CopyBounds::kMarginBytes ? free - CopyBounds::kMarginBytes : 0;
    }
    ULONGLONG Now() const { return clock_ ? clock_() : ::GetTickCount64(); }
    // Once the limit has passed, it stays passed.
    bool Expired() {
        if (deadline_ && !expired_ && Now() >= deadline_) expired_ = true;
        return expired_;
    }
    // What is left of the limit, for one wait; INFINITE without a limit.
    DWORD LeftMs() {
        if (!deadline_) return INFINITE;
        const ULONGLONG now = Now();
        return now >= deadline_ ? 0 : static_cast<DWORD>(deadline_ - now);
    }
    // Takes room for bytes; false (nothing taken) where they would not fit.
    bool Take(ULONGLONG bytes) {
        if (bytes > bytesLeft_) return false;
        bytesLeft_ -= bytes;
        return true;
    }
    void LeftOutAtLimit(const std::wstring& path) { atLimit_.push_back(path); }
    void LeftOutForRoom(const std::wstring& path, ULONGLONG bytes) {
        forRoom_.push_back(path + L" (" + std::to_wstring(bytes) + L" bytes)");
    }
    bool LeftOut() const { return !atLimit_.empty() || !forRoom_.empty(); }
    // "stopped at its limit of 5 s, left out: a, b; no room on the working volume for: c (9 bytes)"
    std::wstring Reason() const;

private:
    std::function<ULONGLONG()> clock_;
    ULONGLONG deadline_ = 0;
    DWORD limitMs_ = INFINITE;
    bool expired_ = false;
    ULONGLONG bytesLeft_ = ~0ULL;
    std::vector<std::wstring> atLimit_;
    std::vector<std::wstring> forRoom_;
};

// At most this many names of what was left out; the rest are counted.
std::wstring FirstOf(const std::vector<std::wstring>& items, size_t most = 20) {
    std::wstring text;
    for (size_t i = 0; i < items.size() && i < most; ++i) text += (i ? L", " : L"") + items[i];
    if (items.size() > most) text += L" and " + std::to_wstring(items.size() - most) + L" more";
    return text;
}

std::wstring Budget::Reason() const {
    std::wstring reason;
    if (!atLimit_.empty())
        reason = L"stopped at its limit of " + std::to_wstring(limitMs_ / 1000) + L" s, left out: " + FirstOf(atLimit_);
    if (!forRoom_.empty())
        reason += (reason.empty() ? L"" : L"; ") + std::wstring(L"no room on the working volume for: ") + FirstOf(forRoom_);
    return reason;
}

// The error of a copy given up at its limit.
constexpr unsigned long kCopyTimedOut = ERROR_TIMEOUT;

// Reads the next chunk at offset, waiting no longer than the budget allows (a failing disk may
// hold one read for minutes): an overlapped read is cancelled at the limit.
bool ReadChunk(HANDLE in, ULONGLONG offset, char* buffer, DWORD size, DWORD& got, Budget& budget,
               unsigned long& error) {
    util::win::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    overlapped.hEvent = done.Get();
    got = 0;
    if (::ReadFile(in, buffer, size, nullptr, &overlapped)) return ::GetOverlappedResult(in, &overlapped, &got, FALSE);
    error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF) return true;
    if (error != ERROR_IO_PENDING) return false;
    if (::WaitForSingleObject(done.Get(), budget.LeftMs()) == WAIT_TIMEOUT) {
        ::CancelIoEx(in, &overlapped);
        ::GetOverlappedResult(in, &overlapped, &got, TRUE);  // the buffer is in use until then
        error = kCopyTimedOut;
        return false;
    }
    if (::GetOverlappedResult(in, &overlapped, &got, FALSE)) return true;
    error = ::GetLastError();
    return error == ERROR_HANDLE_EOF;
}

// Copies what the open file holds to target within the budget; on failure nothing is left
// there. error kCopyTimedOut: the limit passed.
bool CopyOpenFile(HANDLE in, const std::wstring& target, bool failIfExists, unsigned long& error, Budget& budget) {
    util::win::UniqueHandle out(::CreateFileW(util::text::LongPath(target).c_str(), GENERIC_WRITE, 0, nullptr,
                                           failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) {
        error = ::GetLastError();
        return false;
    }
    std::vector<char> buffer(1 << 16);
    for (ULONGLONG offset = 0;; ) {
        DWORD got = 0;
        if (budget.Expired()) {
            error = kCopyTimedOut;
            break;
        }
        if (!ReadChunk(in, offset, buffer.data(), static_cast<DWORD>(buffer.size()), got, budget, error)) break;
        offset += got;
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
    ::DeleteFileW(util::text::LongPath(target).c_str());
    return false;
}

bool CopySharedFile(const std::wstring& source, const std::wstring& target, bool failIfExists, unsigned long& error,
                    Budget& budget) {
    util::win::UniqueHandle in(::CreateFileW(
        util::text::LongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OVERLAPPED, nullptr));
    if (!in.Valid()) {
        error = ::GetLastError();
        return false;
    }
    return CopyOpenFile(in.Get(), util::text::LongPath(target), failIfExists, error, budget);
}

// Copies what it can within the budget; an entry that cannot be copied is skipped, logged and
// added to skipped as "<path> (error <code>)"; what the budget leaves out it names. copied
// counts the entries that arrived.
void CopyEntries(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                 bool failIfExists, int& copied, std::vector<std::wstring>& skipped, Budget& budget) {
    const std::wstring to = util::text::WithTrailingBackslash(target);
    auto skip = [&skipped](const std::wstring& path, unsigned long error) {
        skipped.push_back(path + L" (error " + std::to_wstring(error) + L")");
        toollog::Log(Entry::FileSkipped, path + L" (" + std::to_wstring(error) + L")");
    };
    util::files::ListFolder(source, pattern, [&](const util::files::FolderEntry& entry) {
        if (budget.Expired()) {
            budget.LeftOutAtLimit(entry.path);
            return;
        }
        if (entry.Folder()) {
            // A folder counts when it is made now: an empty one arrives too.
            if (!util::files::PathExists(to + entry.name)) {
                if (!::CreateDirectoryW(util::text::LongPath(to + entry.name).c_str(), nullptr)) {
                    skip(entry.path, ::GetLastError());
                    return;
                }
                ++copied;
            }
            CopyEntries(entry.path, L"*", to + entry.name, failIfExists, copied, skipped, budget);
        } else if (!budget.Take(entry.size)) {
            budget.LeftOutForRoom(entry.path, entry.size);
        } else {
            unsigned long error = 0;
            if (CopySharedFile(entry.path, to + entry.name, failIfExists, error, budget)) {
                ++copied;
            } else if (error == kCopyTimedOut) {
                budget.LeftOutAtLimit(entry.path);
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
bool CopyMatchingWithin(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                        bool failIfExists, std::vector<std::wstring>& skipped, Budget& budget) {
    if (source.empty()) return false;
    EnableBackupPrivilege();
    int copied = 0;
    CopyEntries(source, pattern, target, failIfExists, copied, skipped, budget);
    return copied > 0;
}

bool Copy(CopyKind kind, const std::wstring& source, const std::wstring& target, std::vector<std::wstring>& skipped,
          Budget& budget) {
    switch (kind) {
        case CopyKind::UpdateLog: {
            unsigned long error = 0;
            if (CopyUserFile(source, target, error)) return true;
            skipped.push_back(source + L" (error " + std::to_wstring(error) + L")");
            return false;
        }
        case CopyKind::CbsFolder: return CopyMatchingWithin(source, L"*", target, false, skipped, budget);
        case CopyKind::SetupApiLogs: return CopyMatchingWithin(source, L"setupapi*.log", target, false, skipped, budget);
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
    if (!::GetFileAttributesExW(util::text::LongPath(path).c_str(), GetFileExInfoStandard, &data)) return 0;
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

StepRecord RunCopyStep(const PlannedStep& step, const CopyBounds& bounds) {
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
    // The copy's limit starts now; its room is that of the volume it copies to.
    Budget budget(bounds, step.output.substr(0, step.output.rfind(L'\\')));
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
    } else if (!inPlace && !Copy(step.copy, step.what, step.output, skipped, budget) && !budget.LeftOut()) {
        if (updateLog) LogUpdateLogLost(Entry::FileSkipped, Joined(skipped));
        else toollog::Log(lines.failed);
        record.outcome = Outcome::Failed;
        record.reason = L"nothing could be copied" + (skipped.empty() ? L"" : L": " + Joined(skipped));
    } else if (!skipped.empty() || budget.LeftOut()) {
        // Stopped by its bounds, the copy keeps what arrived and names the rest.
        record.outcome = Outcome::Partial;
        if (!skipped.empty()) record.reason = L"skipped what could not be read: " + Joined(skipped);
        if (budget.LeftOut()) record.reason += (record.reason.empty() ? L"" : L"; ") + budget.Reason();
        toollog::Log(Entry::FileSkipped, record.reason);
    }
    record.bytes = util::files::BytesAt(step.output);
    clock.Finish(record);
    return record;
}

bool CopyMatching(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                  bool failIfExists, std::vector<std::wstring>* skipped) {
    Budget unbounded;
    std::vector<std::wstring> own;
    return CopyMatchingWithin(source, pattern, target, failIfExists, skipped ? *skipped : own, unbounded);
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
    Budget unbounded;
    return CopySharedFile(source, target, failIfExists, error, unbounded);
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
    Budget unbounded;
    return CopyOpenFile(in.Get(), util::text::LongPath(target), false, error, unbounded);
}

}  // namespace engine::steps
