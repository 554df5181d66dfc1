#include "child/ChildLauncher.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "child/ChildEnvironment.h"
#include "text/CommandLine.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "win/ModuleReference.h"
#include "win/SystemPaths.h"
#include "win/UniqueHandle.h"
#include "win/WindowsVersion.h"

namespace engine::child {

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

using util::win::UniqueHandle;

// A started child: its process and the job that holds it and everything it starts.
struct Child {
    UniqueHandle process;
    UniqueHandle job;  // empty where the system allows no job of our own (Windows 7 inside a job)
    DWORD jobError = 0;  // why it has none
};

// A job that ends every process in it when its last handle closes: a step cut off at its
// limit, and every step of a run whose host ends, takes its whole tree with it. Empty, with
// the reason in error, where the system gives none.
UniqueHandle KillOnCloseJob(bool refuse, DWORD& error) {
    if (refuse) {
        error = ERROR_ACCESS_DENIED;
        return UniqueHandle();
    }
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job ||
        !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        error = ::GetLastError();
        job.Reset();
    }
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
    util::win::ReadPebOsVersion(major, minor);
    return major > 6 || (major == 6 && minor >= 2);
}

// One attempt of StartHidden; the last error says why it failed.
bool TryStartHidden(const std::wstring& program, const std::wstring& system, const std::vector<wchar_t>& line,
                    HANDLE outputWrite, HANDLE errorWrite, const std::vector<wchar_t>& environment, bool withoutJobs,
                    Child& child) {
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
    UniqueHandle job = KillOnCloseJob(withoutJobs, child.jobError);
    ChildAttributes attributes(handles, job.Get());
    if (!attributes.List()) return false;
    si.lpAttributeList = attributes.List();
    PROCESS_INFORMATION pi{};
    // In its job before it runs, so nothing it starts can slip out: from its first moment where
    // the system allows, else created suspended and put there before it resumes. A host that is
    // itself in a job on Windows 7 (Explorer's compatibility assistant puts programs in one) can
    // give a child a job of its own only by letting it break away, where that job allows it.
    const DWORD flags = CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT;
    BOOL hostInJob = FALSE;
    const bool breakAway = !JobsNest() && ::IsProcessInJob(::GetCurrentProcess(), nullptr, &hostInJob) && hostInJob;
    auto create = [&](DWORD creationFlags) {
        std::vector<wchar_t> writable = line;  // CreateProcessW may write into it
        return ::CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, TRUE, creationFlags,
                                const_cast<wchar_t*>(environment.data()), system.c_str(), &si.StartupInfo, &pi) != 0;
    };
    const bool created = (breakAway && create(flags | CREATE_BREAKAWAY_FROM_JOB)) || create(flags);
    if (!created) return false;  // the handles close on the way out; the last error stays
    child.process.Reset(pi.hProcess);
    // Checked, not assumed: a system that takes the attribute without acting on it is no safer.
    BOOL inJob = FALSE;
    if (job && ((attributes.JobAtStart() && ::IsProcessInJob(pi.hProcess, job.Get(), &inJob) && inJob) ||
                ::AssignProcessToJobObject(job.Get(), pi.hProcess)))
        child.job = std::move(job);
    else if (job)
        child.jobError = ::GetLastError();  // runs without one: the caller is told
    ::ResumeThread(pi.hThread);
    ::CloseHandle(pi.hThread);
    return true;
}

// Starts program (a full path) in the system folder, so nothing is picked up from the host's
// current folder, hidden and without a console window, in a job of its own. Standard input is
// NUL so that no tool waits for input from the host; standard output goes to outputWrite and
// standard error to errorWrite, each to NUL when not given. A start that fails for a passing
// reason is tried twice more, after a pause, so that one busy moment does not cost a report.
// A child without a job of its own is noted in result. The environment is the system's, never the
// host's: see ChildEnvironment.h.
bool StartHidden(const std::wstring& program, const std::wstring& line, HANDLE outputWrite, HANDLE errorWrite,
                 const std::vector<wchar_t>& environment, bool withoutJobs, Child& child, ChildResult& result) {
    const std::wstring system = util::win::SystemFolder();
    if (system.empty()) {
        result.startError = ::GetLastError() ? ::GetLastError() : ERROR_PATH_NOT_FOUND;
        result.refusal = L"the system folder is not known";
        return false;
    }
    if (line.size() + 1 > util::text::kMaxCommandLine) {
        result.startError = ERROR_FILENAME_EXCED_RANGE;
        result.refusal = L"its command line has " + std::to_wstring(line.size()) + L" characters, more than the " +
                      std::to_wstring(util::text::kMaxCommandLine - 1) + L" Windows takes";
        return false;
    }
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    static const DWORD kPausesMs[] = {250, 1000};
    for (int attempt = 0;; ++attempt) {
        result.attempts = attempt + 1;
        if (TryStartHidden(program, system, writable, outputWrite, errorWrite, environment, withoutJobs, child)) {
            result.withoutJob = !child.job;
            result.jobError = child.jobError;
            return true;
        }
        const DWORD error = ::GetLastError();
        if (attempt == 2 || !IsTransientStartError(error)) {
            result.startError = error;
            return false;
        }
        ::Sleep(kPausesMs[attempt]);  // outside the lock: the other workers go on meanwhile
    }
}

// Ends the child and everything it started; a child without a job, only itself.
void EndTree(const Child& child) {
    if (child.job) ::TerminateJobObject(child.job.Get(), kTimedOutExitCode);
    else ::TerminateProcess(child.process.Get(), kTimedOutExitCode);
}

// The tick count at which a child's limit passes; 0 for none.
ULONGLONG Deadline(DWORD limitMs) { return limitMs == INFINITE ? 0 : ::GetTickCount64() + limitMs; }

// Milliseconds until deadline: INFINITE for none, 0 once it has passed.
DWORD Until(ULONGLONG deadline) {
    if (deadline == 0) return INFINITE;
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// The child's limit has passed: ends its tree and waits for the child, though not for ever.
void EndAtLimit(const Child& child, ChildResult& result) {
    result.timedOut = true;
    EndTree(child);
    if (::WaitForSingleObject(child.process.Get(), kEndWaitMs) != WAIT_OBJECT_0) result.endUnconfirmed = true;
}

// Waits for the child until deadline; past it the child's tree is ended. Its exit code.
DWORD WaitForEnd(const Child& child, ChildResult& result, ULONGLONG deadline) {
    if (!result.timedOut && ::WaitForSingleObject(child.process.Get(), Until(deadline)) == WAIT_TIMEOUT)
        EndAtLimit(child, result);
    DWORD code = kTimedOutExitCode;
    if (!result.endUnconfirmed) ::GetExitCodeProcess(child.process.Get(), &code);
    return code;
}

// A pipe for a child's output whose reading can be given up: its read end is overlapped, so a
// read waits with a limit, where a blocked read of an anonymous pipe waits for its last writer,
// which a grandchild outside any job may keep for good. Only this process can connect: the
// pipe's one instance is made first (never taken over) and taken at once by its write end.
struct CapturePipe {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    UniqueHandle readDone;  // the event of each read

    bool Create(ChildResult& result) {
        static volatile LONG serial = 0;
        wchar_t name[80];
        std::swprintf(name, 80, L"\\\\.\\pipe\\OrvaneSkelda.%lu.%ld", ::GetCurrentProcessId(),
                      static_cast<long>(::InterlockedIncrement(&serial)));
        const DWORD openMode = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
        const DWORD pipeMode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
        readEnd.Reset(::CreateNamedPipeW(name, openMode, pipeMode, 1, 0, 1 << 16, 0, nullptr));
        if (readEnd)
            writeEnd.Reset(::CreateFileW(name, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (writeEnd) readDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (readDone) return true;
        result.startError = ::GetLastError();
        return false;
    }
};

// Waits for a pending read of the pipe. At the deadline the child's tree is ended, and what is
// left of the output has kEndWaitMs to come; a read still pending then, or at once for a child
// without a job (whatever holds the pipe now was started by it, and is out of reach), is
// cancelled. false when it was.
bool AwaitRead(HANDLE pipe, OVERLAPPED& overlapped, const Child& child, ChildResult& result, ULONGLONG& deadline) {
    for (;;) {
        if (::WaitForSingleObject(overlapped.hEvent, Until(deadline)) != WAIT_TIMEOUT) return true;
        if (!result.timedOut) {
            EndAtLimit(child, result);
            if (child.job) {
                deadline = ::GetTickCount64() + kEndWaitMs;
                continue;
            }
        } else if (child.job) {
            result.endUnconfirmed = true;
        }
        ::CancelIoEx(pipe, &overlapped);
        return false;
    }
}

// Hands everything a started child writes into the pipe to sink until every writer has closed
// it, or until the reading is given up at the child's limit; the deadline is where the child's
// limit stands then.
void ReadCapture(CapturePipe& pipe, const Child& child, ChildResult& result, ULONGLONG& deadline, const OutputSink& sink) {
    // The pipe ends once the command and everything it started have closed their copies.
    pipe.writeEnd.Reset();
    char chunk[4096];
    for (bool givenUp = false; !givenUp;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = pipe.readDone.Get();
        if (!::ReadFile(pipe.readEnd.Get(), chunk, sizeof chunk, nullptr, &overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING)
            break;  // every writer has closed it
        givenUp = !AwaitRead(pipe.readEnd.Get(), overlapped, child, result, deadline);
        DWORD got = 0;
        // Waits for a cancelled read to complete: the buffer is in use until then.
        if (!::GetOverlappedResult(pipe.readEnd.Get(), &overlapped, &got, TRUE)) break;
        sink(chunk, got);
    }
    pipe.readEnd.Reset();
}

// The error pipe of a child, read on a thread of its own while the caller reads the output.
// The thread shares the pipe's state, so a thread that cannot be stopped may be left behind.
struct ErrorPipe {
    UniqueHandle readEnd;
    std::string bytes;  // at most kMaxErrorBytes
};

struct ErrorReaderStart {
    std::shared_ptr<ErrorPipe> pipe;
    // A thread left behind may outlive the run and the host's FreeLibrary: it holds the engine.
    HMODULE module;
};

void DrainErrorPipe(std::unique_ptr<ErrorReaderStart> start) {
    char chunk[4096];
    DWORD got = 0;
    ErrorPipe& pipe = *start->pipe;
    while (::ReadFile(pipe.readEnd.Get(), chunk, sizeof chunk, &got, nullptr)) {
        const size_t room = kMaxErrorBytes - pipe.bytes.size();
        pipe.bytes.append(chunk, got < room ? got : room);  // within the capacity reserved
    }
}

DWORD WINAPI ReadErrorPipe(LPVOID param) {
    auto* start = static_cast<ErrorReaderStart*>(param);
    const HMODULE module = start->module;
    DrainErrorPipe(std::unique_ptr<ErrorReaderStart>(start));
    util::win::ExitThreadReleasing(module, 0);
}

}  // namespace

ChildLauncher::ChildLauncher(const Options& options)
    : withoutJobs_(options.withoutJobs), cancelStuckReaders_(options.cancelStuckReaders) {
    SystemValues system = GatherSystemValues();
    system.tempFolder = options.tempFolder;
    environment_ = child::EnvironmentBlock(ChildVariables(system));
}

ChildResult ChildLauncher::Run(const ChildSpec& spec) const {
    ChildResult result;
    result.limitMs = spec.limitMs;
    UniqueHandle file;
    CapturePipe pipe;
    HANDLE outputWrite = nullptr;
    switch (spec.output) {
        case Output::Discard: break;
        case Output::File:
            // Readers may look while the tool writes; nobody else writes to it meanwhile.
            file.Reset(::CreateFileW(util::text::LongPath(spec.outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                result.startError = ::GetLastError();
                return result;
            }
            outputWrite = file.Get();
            break;
        case Output::Capture:
        case Output::Stream:
            if (!pipe.Create(result)) return result;
            outputWrite = pipe.writeEnd.Get();
            break;
    }
    std::shared_ptr<ErrorPipe> errorPipe;
    UniqueHandle errorWrite;
    HANDLE errorTarget = nullptr;
    if (spec.errors == Errors::WithOutput) {
        errorTarget = outputWrite;
    } else if (spec.errors == Errors::Apart) {
        errorPipe = std::make_shared<ErrorPipe>();
        errorPipe->bytes.reserve(kMaxErrorBytes);
        if (!::CreatePipe(errorPipe->readEnd.Put(), errorWrite.Put(), nullptr, 0)) {
            result.startError = ::GetLastError();
            return result;
        }
        errorTarget = errorWrite.Get();
    }
    Child child;
    if (!StartHidden(spec.program, spec.commandLine, outputWrite, errorTarget, environment_, withoutJobs_, child,
                     result))
        return result;
    result.started = true;
    file.Reset();
    errorWrite.Reset();
    UniqueHandle reader;
    if (errorPipe) {
        auto* start = new ErrorReaderStart{errorPipe, util::win::ReferenceModuleOf(reinterpret_cast<const void*>(&ReadErrorPipe))};
        reader.Reset(::CreateThread(nullptr, 0, ReadErrorPipe, start, 0, nullptr));
        if (!reader) {
            if (start->module) ::FreeLibrary(start->module);
            delete start;
            errorPipe->readEnd.Reset();  // the child's error text goes nowhere
        }
    }
    ULONGLONG deadline = Deadline(spec.limitMs);
    if (spec.output == Output::Stream) {
        ReadCapture(pipe, child, result, deadline, spec.sink);
    } else if (spec.output == Output::Capture) {
        const util::text::CharBoundary boundary(CP_ACP);
        std::string pending;  // bytes read but not yet converted: at most a split character
        ReadCapture(pipe, child, result, deadline, [&](const char* data, size_t size) {
            pending.append(data, size);
            const size_t whole = boundary.CompletePrefix(pending.data(), pending.size());
            result.output += util::text::Widen(pending.substr(0, whole), CP_ACP);
            pending.erase(0, whole);
        });
        result.output += util::text::Widen(pending, CP_ACP);  // a lone lead byte at the very end
    }
    result.exitCode = WaitForEnd(child, result, deadline);
    // The tree has ended, so the error pipe has too, unless something outside the job holds it.
    if (reader && ::WaitForSingleObject(reader.Get(), 2000) == WAIT_TIMEOUT) {
        if (cancelStuckReaders_) ::CancelSynchronousIo(reader.Get());
        if (::WaitForSingleObject(reader.Get(), 2000) == WAIT_TIMEOUT) return result;  // left behind, unread
    }
    if (reader) result.errors = util::text::Widen(errorPipe->bytes, CP_ACP);
    return result;
}

}  // namespace engine::child
