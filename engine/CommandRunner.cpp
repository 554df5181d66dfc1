#include "CommandRunner.h"

#include <memory>
#include <vector>

#include "CommandLine.h"
#include "OsVersion.h"
#include "PathText.h"
#include "SystemPaths.h"
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

// Windows 10's attribute that puts a child into a job as it is created (winbase.h declares it
// only for builds that target Windows 10).
constexpr DWORD_PTR kJobListAttribute = 0x2000D;  // ProcThreadAttributeValue(13, FALSE, TRUE, FALSE)

// The attribute list of a child: the only handles it inherits and, where the system can, the
// job it starts in.
class ChildAttributes {
public:
    ChildAttributes(std::vector<HANDLE> handles, HANDLE job) : handles_(std::move(handles)), job_(job) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 2, 0, &size);
        buffer_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (!size || !::InitializeProcThreadAttributeList(list, 2, 0, &size)) return;
        list_ = list;
        if (!::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                         handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            ::DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
            return;
        }
        // Before Windows 10 this is refused, and the child joins its job after it is made.
        jobAtStart_ = job_ && ::UpdateProcThreadAttribute(list_, 0, kJobListAttribute, &job_, sizeof job_, nullptr,
                                                          nullptr);
    }
    ~ChildAttributes() {
        if (list_) ::DeleteProcThreadAttributeList(list_);
    }
    ChildAttributes(const ChildAttributes&) = delete;
    ChildAttributes& operator=(const ChildAttributes&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }
    // True when the child is in its job from its first moment.
    bool JobAtStart() const { return jobAtStart_; }

private:
    std::vector<HANDLE> handles_;  // the list points into these two
    HANDLE job_;
    std::vector<unsigned char> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    bool jobAtStart_ = false;
};

// Jobs nest from Windows 8 on; before that a process in a job can have no job of its own.
bool JobsNest() {
    DWORD major = 0, minor = 0;
    ReadPebOsVersion(major, minor);
    return major > 6 || (major == 6 && minor >= 2);
}

// One attempt of StartHidden; the last error says why it failed.
bool TryStartHidden(const std::wstring& program, const std::wstring& system, const std::vector<wchar_t>& line,
                    HANDLE outputWrite, HANDLE errorWrite, Child& child) {
    // The child's handles are inheritable, and the attribute list names exactly these, so no
    // child ever inherits another one's pipe (which would keep that capture from ending).
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

    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.StartupInfo.wShowWindow = SW_HIDE;
    si.StartupInfo.hStdInput = nul.Get();
    si.StartupInfo.hStdOutput = output ? output.Get() : nul.Get();
    si.StartupInfo.hStdError = errorWrite == outputWrite ? si.StartupInfo.hStdOutput
                               : errors                  ? errors.Get()
                                                         : nul.Get();
    std::vector<HANDLE> handles{nul.Get()};
    if (output) handles.push_back(output.Get());
    if (errors) handles.push_back(errors.Get());
    UniqueHandle job = KillOnCloseJob();
    ChildAttributes attributes(handles, job.Get());
    if (!attributes.List()) return false;
    si.lpAttributeList = attributes.List();
    PROCESS_INFORMATION pi{};
    // In its job before it runs, so nothing it starts can slip out: from its first moment where
    // the system allows, else created suspended and put there before it resumes. A host that is
    // itself in a job on Windows 7 (Explorer's compatibility assistant puts programs in one) can
    // give a child a job of its own only by letting it break away, where that job allows it.
    const DWORD flags = CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT;
    BOOL hostInJob = FALSE;
    const bool breakAway = !JobsNest() && ::IsProcessInJob(::GetCurrentProcess(), nullptr, &hostInJob) && hostInJob;
    auto create = [&](DWORD creationFlags) {
        std::vector<wchar_t> writable = line;  // CreateProcessW may write into it
        return ::CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                                system.c_str(), &si.StartupInfo, &pi) != 0;
    };
    const bool created = (breakAway && create(flags | CREATE_BREAKAWAY_FROM_JOB)) || create(flags);
    if (!created) return false;  // the handles close on the way out; the last error stays
    child.process.Reset(pi.hProcess);
    // Checked, not assumed: a system that takes the attribute without acting on it is no safer.
    BOOL inJob = FALSE;
    if (job && ((attributes.JobAtStart() && ::IsProcessInJob(pi.hProcess, job.Get(), &inJob) && inJob) ||
                ::AssignProcessToJobObject(job.Get(), pi.hProcess)))
        child.job = std::move(job);
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
    const std::wstring system = skelda::SystemFolder();
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

// Hands everything a started child writes into the pipe to sink until every writer has closed
// it, or until the child's limit ends its tree.
void ReadPipe(HANDLE readEnd, Child& child, ChildRun* run, const OutputSink& sink) {
    Watchdog watchdog(child, run);
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr)) sink(chunk, got);
}

// Reads everything a started child writes into the pipe until every writer has closed it, or
// until the child's limit ends its tree.
int CaptureFrom(UniqueHandle& readEnd, UniqueHandle& writeEnd, Child& child, std::wstring& output, ChildRun* run,
                DWORD* exitCode = nullptr) {
    // The pipe ends once the command and everything it started have closed their copies.
    writeEnd.Reset();
    {
        const skelda::CharBoundary boundary(CP_ACP);
        std::string pending;  // bytes read but not yet converted: at most a split character
        ReadPipe(readEnd.Get(), child, run, [&](const char* data, size_t size) {
            pending.append(data, size);
            const size_t whole = boundary.CompletePrefix(pending.data(), pending.size());
            output += skelda::Widen(pending.substr(0, whole), CP_ACP);
            pending.erase(0, whole);
        });
        output += skelda::Widen(pending, CP_ACP);  // a lone lead byte at the very end
    }
    readEnd.Reset();
    const DWORD code = WaitForEnd(child, run);
    if (exitCode) *exitCode = code;
    return 1;
}

// The error pipe of a child, read on a thread of its own while the caller reads the output.
// The thread shares the pipe's state, so a thread that cannot be stopped may be left behind.
struct ErrorPipe {
    UniqueHandle readEnd;
    std::string bytes;  // at most kMaxErrorBytes
};

DWORD WINAPI ReadErrorPipe(LPVOID param) {
    std::shared_ptr<ErrorPipe> pipe = std::move(*static_cast<std::shared_ptr<ErrorPipe>*>(param));
    delete static_cast<std::shared_ptr<ErrorPipe>*>(param);
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(pipe->readEnd.Get(), chunk, sizeof chunk, &got, nullptr)) {
        const size_t room = kMaxErrorBytes - pipe->bytes.size();
        pipe->bytes.append(chunk, got < room ? got : room);  // within the capacity reserved
    }
    return 0;
}

}  // namespace

int RunProgramStreams(const std::wstring& programPath, const std::wstring& commandLine, const OutputSink& output,
                      std::wstring& errors, DWORD& exitCode, ChildRun* run) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    UniqueHandle errorWrite;
    auto pipe = std::make_shared<ErrorPipe>();
    pipe->bytes.reserve(kMaxErrorBytes);
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0) ||
        !::CreatePipe(pipe->readEnd.Put(), errorWrite.Put(), nullptr, 0))
        return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, writeEnd.Get(), errorWrite.Get(), child)) return 0;
    writeEnd.Reset();
    errorWrite.Reset();
    auto* shared = new std::shared_ptr<ErrorPipe>(pipe);
    UniqueHandle reader(::CreateThread(nullptr, 0, ReadErrorPipe, shared, 0, nullptr));
    if (!reader) {
        delete shared;
        pipe->readEnd.Reset();  // the child's error text goes nowhere
    }
    ReadPipe(readEnd.Get(), child, run, output);
    readEnd.Reset();
    exitCode = WaitForEnd(child, run);
    // The tree has ended, so the error pipe has too, unless something outside the job holds it.
    if (reader && ::WaitForSingleObject(reader.Get(), 2000) == WAIT_TIMEOUT) {
        ::CancelSynchronousIo(reader.Get());
        if (::WaitForSingleObject(reader.Get(), 2000) == WAIT_TIMEOUT) return 1;  // left behind, unread
    }
    if (reader) errors = skelda::Widen(pipe->bytes, CP_ACP);
    return 1;
}

int RunProgramCapture(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& output,
                      ChildRun* run) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0)) return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, writeEnd.Get(), writeEnd.Get(), child)) return 0;
    return CaptureFrom(readEnd, writeEnd, child, output, run);
}

int RunProgramErrors(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& errors,
                     DWORD& exitCode, ChildRun* run) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), nullptr, 0)) return 0;
    Child child;
    if (!StartHidden(programPath, commandLine, nullptr, writeEnd.Get(), child)) return 0;
    return CaptureFrom(readEnd, writeEnd, child, errors, run, &exitCode);
}

}  // namespace engine
