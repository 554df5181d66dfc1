#pragma once
// Starts Windows' tools directly by their full path, hidden, each in a job of its own, and
// waits for them within their limits.
#include <windows.h>

#include <functional>
#include <string>

namespace engine {

// How long a child may run, and what became of it. Each child runs in a job of its own that
// ends it and everything it started when the job's handle closes, at the latest when the
// step is over or the host process ends.
struct ChildRun {
    DWORD limitMs = INFINITE;
    bool timedOut = false;  // set when the child's tree was ended at the limit
    // Why it could not be started: the system's error code, and where the engine refused the
    // start itself (the system was never asked), that refusal in words.
    DWORD startError = 0;
    std::wstring refusal;
    // The system gave the child no job of its own (jobError says why): at its limit only the
    // child itself can be ended, and a reading of its output is given up.
    bool withoutJob = false;
    DWORD jobError = 0;
    // The child (or its output pipe) had not ended kEndWaitMs after its tree was ended.
    bool endUnconfirmed = false;
};

// The exit code a child's tree is ended with at its limit (ERROR_TIMEOUT).
constexpr DWORD kTimedOutExitCode = 1460;

// How long the engine waits for a child to end after ending it at its limit.
constexpr DWORD kEndWaitMs = 10000;

// Tests only: children get no job of their own, as where the system refuses one.
void RefuseChildJobs(bool refuse);

// Starts a program directly, without the interpreter, hidden, and waits for it.
// commandLine is the program's whole command line (its first word names the program for the
// program's own use); programPath is the file that runs. No interpreter means no "%" or quote
// of the arguments is ever reinterpreted. 1 when it ran, with its exit code; 0 otherwise, with
// the reason in the last error (and in run when given).
int RunProgram(const std::wstring& programPath, const std::wstring& commandLine, DWORD& exitCode,
               ChildRun* run = nullptr);

// Like RunProgram, with the program's standard output written to outputFile (created or
// replaced; the bytes exactly as the program writes them) and its standard error discarded.
// 0, with nothing started, when the file cannot be created.
int RunProgramToFile(const std::wstring& programPath, const std::wstring& commandLine,
                     const std::wstring& outputFile, DWORD& exitCode, ChildRun* run = nullptr);

// Like RunProgram, and appends what the program writes to its standard output and error,
// converted from the ANSI code page, to output, as fast as it comes. At the limit the reading
// ends too, even where something the program started still holds the pipe.
int RunProgramCapture(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& output,
                      ChildRun* run = nullptr);

// Receives what a child writes, as it comes; it must not keep a copy it does not need.
using OutputSink = std::function<void(const char* data, size_t size)>;

// Like RunProgram, with what the program writes to its standard output handed to output as it
// comes, the bytes as they are, and its standard error read from a pipe of its own: the first
// kMaxErrorBytes of it, converted from the ANSI code page, go to errors, so error text never
// mixes into the output.
constexpr size_t kMaxErrorBytes = 16 * 1024;
int RunProgramStreams(const std::wstring& programPath, const std::wstring& commandLine, const OutputSink& output,
                      std::wstring& errors, DWORD& exitCode, ChildRun* run = nullptr);

// True for a reason a program could not be started that may pass (the system busy or short of
// resources); false for one that stays (no such file, no right to run it, not a program).
bool IsTransientStartError(unsigned long error);

// Like RunProgram, with standard output discarded and what the program writes to its standard
// error, converted from the ANSI code page, appended to errors.
int RunProgramErrors(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& errors,
                     DWORD& exitCode, ChildRun* run = nullptr);

}  // namespace engine
