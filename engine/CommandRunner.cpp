#include "CommandRunner.h"

#include <vector>

#include "CommandLine.h"
#include "PathText.h"
#include "ProcAddress.h"
#include "UniqueHandle.h"
#include "WideText.h"

namespace engine {

bool IsTransientStartError(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_PARAMETER:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_DIRECTORY:
        case 740:  // ERROR_ELEVATION_REQUIRED, which MinGW's headers lack
        case ERROR_INVALID_NAME:
            return false;
        default:
            return true;
    }
}

namespace {

using skelda::UniqueHandle;

// Children are created one at a time while inheritable handles exist: each child inherits
// only the handles made for it (its NUL input and, for a capture, the pipe's write end),
// never another worker's capture pipe, which would keep that capture from ending.
CRITICAL_SECTION& SpawnLock() {
    static skelda::CriticalSection lock;
    return lock.Native();
}

// A started child: its process and the job that holds it and everything it starts.
struct Child {
    UniqueHandle process;
    UniqueHandle job;  // empty where the system allows no job of our own (Windows 7 inside a job)
};

// A job that ends every process in it when its last handle closes: a step cut off at its
// limit, and every step of a run whose host ends, takes its whole tree with it.
UniqueHandle KillOnCloseJob() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        job.Reset();
    return job;
}

// One attempt of StartHidden; the last error says why it failed.
bool TryStartHidden(const std::wstring& program, const std::wstring& system, const std::vector<wchar_t>& line,
                    HANDLE outputWrite, HANDLE errorWrite, Child& child) {
    skelda::CriticalSectionLock hold(SpawnLock());
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!nul) return false;
    auto inheritableCopy = [](HANDLE handle, UniqueHandle& copy) {
        return !handle || ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), copy.Put(), 0,
                                            TRUE, DUPLICATE_SAME_ACCESS);
    };
    UniqueHandle output;
    UniqueHandle errors;
    if (!inheritableCopy(outputWrite, output)) return false;
    if (errorWrite != outputWrite && !inheritableCopy(errorWrite, errors)) return false;

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = nul.Get();
    si.hStdOutput = output ? output.Get() : nul.Get();
    si.hStdError = errorWrite == outputWrite ? si.hStdOutput : errors ? errors.Get() : nul.Get();
    PROCESS_INFORMATION pi{};
    // Suspended until it is in its job, so nothing it starts can slip out. Windows 7 has no
    // nested jobs: a host inside a job of its own (Explorer's compatibility assistant puts
    // programs in one) lets its children break away into theirs where that job allows it.
    const DWORD flags = CREATE_NO_WINDOW | CREATE_SUSPENDED;
    BOOL hostInJob = FALSE;
    const bool breakAway = ::IsProcessInJob(::GetCurrentProcess(), nullptr, &hostInJob) && hostInJob;
    auto create = [&](DWORD creationFlags) {
        std::vector<wchar_t> writable = line;  // CreateProcessW may write into it
        return ::CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                                system.c_str(), &si, &pi) != 0;
    };
    const bool created = (breakAway && create(flags | CREATE_BREAKAWAY_FROM_JOB)) || create(flags);
    if (!created) {
        const DWORD error = ::GetLastError();
        output.Reset();
        errors.Reset();
        nul.Reset();
        ::SetLastError(error);
        return false;
    }
    child.process.Reset(pi.hProcess);
    child.job = KillOnCloseJob();
    if (child.job && !::AssignProcessToJobObject(child.job.Get(), pi.hProcess)) child.job.Reset();
    ::ResumeThread(pi.hThread);
    ::CloseHandle(pi.hThread);
    return true;
}

// Starts program (a full path) in the system folder, so nothing is picked up from the host's
// current folder, hidden and without a console window, in a job of its own. Standard input is
// NUL so that no tool waits for input from the host; standard output goes to outputWrite and
// standard error to errorWrite, each to NUL when not given. A start that fails for a passing
// reason is tried twice more, after a pause, so that one busy moment does not cost a report.
bool StartHidden(const std::wstring& program, const std::wstring& line, HANDLE outputWrite, HANDLE errorWrite,
                 Child& child) {
    const std::wstring system = SystemFolder();
    if (system.empty() || line.size() + 1 > skelda::kMaxCommandLine) return false;
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    static const DWORD kPausesMs[] = {250, 1000};
    for (int attempt = 0;; ++attempt) {
        if (TryStartHidden(program, system, writable, outputWrite, errorWrite, child)) return true;
        const DWORD error = ::GetLastError();
        if (attempt == 2 || !IsTransientStartError(error)) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(kPausesMs[attempt]);  // outside the lock: the other workers go on meanwhile
    }
}

// cmd.exe by its full path, with no AutoRun and the command handed over so its quotes stay
// as they are.
bool StartInterpreter(const std::wstring& command, HANDLE outputWrite, Child& child) {
    const std::wstring interpreter = SystemFolder() + L"\\cmd.exe";
    return StartHidden(interpreter, skelda::InterpreterLine(interpreter, command), outputWrite, outputWrite, child);
}

// Ends the child and everything it started.
void EndTree(const Child& child) {
    if (child.job) ::TerminateJobObject(child.job.Get(), kTimedOutExitCode);
    else ::TerminateProcess(child.process.Get(), kTimedOutExitCode);
}

// Waits for the child, at most run->limitMs when given; past the limit its whole tree is ended.
DWORD WaitForEnd(const Child& child, ChildRun* run = nullptr) {
    const DWORD limit = run ? run->limitMs : INFINITE;
    if (::WaitForSingleObject(child.process.Get(), limit) == WAIT_TIMEOUT) {
        EndTree(child);
        if (run) run->timedOut = true;
        ::WaitForSingleObject(child.process.Get(), INFINITE);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.process.Get(), &code);
    return code;
}

// Ends a child's tree when its limit passes while the caller is blocked reading its output.
class Watchdog {
public:
    Watchdog(const Child& child, ChildRun* run) : child_(child), run_(run) {
        if (run && run->limitMs != INFINITE &&
            !::CreateTimerQueueTimer(&timer_, nullptr, OnLimit, this, run->limitMs, 0, WT_EXECUTEONLYONCE))
            timer_ = nullptr;
    }
    ~Watchdog() {
        // Waits for a callback that has begun: it must not outlive this object.
        if (timer_) ::DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static VOID CALLBACK OnLimit(PVOID self, BOOLEAN) {
        auto* watchdog = static_cast<Watchdog*>(self);
        watchdog->run_->timedOut = true;
        EndTree(watchdog->child_);
    }
    const Child& child_;
    ChildRun* run_;
    HANDLE timer_ = nullptr;
};

}  // namespace

int RunCommand(const std::wstring& command) {
    DWORD ignored = 0;
    return RunCommand(command, ignored);
}

int RunCommand(const std::wstring& command, DWORD& exitCode) {
    Child child;
    if (!StartInterpreter(command, nullptr, child)) return 0;
    exitCode = WaitForEnd(child);
    return 1;
}

int RunProgram(const std::wstring& programPath, const std::wstring& commandLine, DWORD& exitCode, ChildRun* run) {
    Child child;
    if (!StartHidden(programPath, commandLine, nullptr, nullptr, child)) return 0;
    exitCode = WaitForEnd(child, run);
    return 1;
}

int RunProgramToFile(const std::wstring& programPath, const std::wstring& commandLine,
                     const std::wstring& outputFile, DWORD& exitCode, ChildRun* run) {
    // Readers may look while the tool writes; nobody else writes to it meanwhile.
    UniqueHandle file(::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, file.Get(), nullptr, child)) return 0;
    file.Reset();
    exitCode = WaitForEnd(child, run);
    return 1;
}

namespace {

// Reads everything a started child writes into the pipe until every writer has closed it, or
// until the child's limit ends its tree.
int CaptureFrom(UniqueHandle& readEnd, UniqueHandle& writeEnd, Child& child, std::wstring& output, DWORD pauseMs,
                ChildRun* run, DWORD* exitCode = nullptr) {
    // The pipe ends once the command and everything it started have closed their copies.
    writeEnd.Reset();

    {
        Watchdog watchdog(child, run);
        const skelda::CharBoundary boundary(CP_ACP);
        std::string pending;  // bytes read but not yet converted: at most a split character
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(readEnd.Get(), chunk, sizeof chunk - 1, &got, nullptr)) {
            pending.append(chunk, got);
            const size_t whole = boundary.CompletePrefix(pending.data(), pending.size());
            output += skelda::Widen(pending.substr(0, whole), CP_ACP);
            pending.erase(0, whole);
            if (pauseMs) ::Sleep(pauseMs);
        }
        output += skelda::Widen(pending, CP_ACP);  // a lone lead byte at the very end
    }
    readEnd.Reset();
    const DWORD code = WaitForEnd(child, run);
    if (exitCode) *exitCode = code;
    return 1;
}

}  // namespace

int RunProgramCapture(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& output,
                      DWORD pauseMs, ChildRun* run) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0)) return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, writeEnd.Get(), writeEnd.Get(), child)) return 0;
    return CaptureFrom(readEnd, writeEnd, child, output, pauseMs, run);
}

int RunProgramErrors(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& errors,
                     DWORD& exitCode, ChildRun* run) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0)) return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, nullptr, writeEnd.Get(), child)) return 0;
    return CaptureFrom(readEnd, writeEnd, child, errors, 0, run, &exitCode);
}

int RunCommandCapture(const std::wstring& command, std::wstring& output, DWORD pauseMs) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0)) return 0;
    Child child;
    if (!StartInterpreter(command, writeEnd.Get(), child)) return 0;
    return CaptureFrom(readEnd, writeEnd, child, output, pauseMs, nullptr);
}

int RemoveFolder(const std::wstring& path) {
    std::wstring folder = path;
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 1;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    bool all = true;
    {
        WIN32_FIND_DATAW data;
        skelda::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        if (find.Valid()) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = folder + L"\\" + name;
                const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                // A link to a folder goes itself; what it points to is left alone.
                if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                    all = RemoveFolder(child) && all;
                } else if (isFolder) {
                    all = ::RemoveDirectoryW(child.c_str()) && all;
                } else {
                    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    all = ::DeleteFileW(child.c_str()) && all;
                }
            } while (::FindNextFileW(find.Get(), &data));
        }
    }
    return ::RemoveDirectoryW(folder.c_str()) && all ? 1 : 0;
}

std::wstring GetModuleFolder() {
    // The module that holds this code, whatever its file is called.
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&GetModuleFolder), &self)) {
        return {};
    }
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(self, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) return skelda::FolderOfFile(std::wstring(name.data(), n));
        if (name.size() >= skelda::kMaxCommandLine) return {};  // no command could hold it
        name.resize(name.size() * 2);
    }
}

bool IsWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const IsWow64ProcessFn isWow64Process = [] {
        return skelda::ProcAddress<IsWow64ProcessFn>(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    }();
    BOOL wow = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow) && wow;
}

bool Is64BitWindows() { return sizeof(void*) == 8 || IsWow64(); }

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    UINT n = ::GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(path, n);
}

}  // namespace engine
