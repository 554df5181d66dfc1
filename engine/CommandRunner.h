#pragma once
// Runs command lines through the command interpreter, hidden, and waits for them.
#include <windows.h>

#include <string>

namespace engine {

// How long a child may run, and what became of it. Each child runs in a job of its own that
// ends it and everything it started when the job's handle closes, at the latest when the
// step is over or the host process ends.
struct ChildRun {
    DWORD limitMs = INFINITE;
    bool timedOut = false;  // set when the child's tree was ended at the limit
};

// The exit code a child's tree is ended with at its limit (ERROR_TIMEOUT).
constexpr DWORD kTimedOutExitCode = 1460;

// Runs command through cmd.exe and waits for it to end. 1 when the interpreter ran,
// 0 when it could not be started. The command's own exit code is not looked at.
int RunCommand(const std::wstring& command);

// Like RunCommand, and also gives the interpreter's exit code (that of the command's last
// program) in exitCode.
int RunCommand(const std::wstring& command, DWORD& exitCode);

// Starts a program directly, without the interpreter, the same hidden way, and waits for it.
// commandLine is the program's whole command line (its first word names the program for the
// program's own use); programPath is the file that runs. No interpreter means no "%" or quote
// of the arguments is ever reinterpreted. 1 when it ran, with its exit code; 0 otherwise.
int RunProgram(const std::wstring& programPath, const std::wstring& commandLine, DWORD& exitCode,
               ChildRun* run = nullptr);

// Like RunProgram, with the program's standard output written to outputFile (created or
// replaced; the bytes exactly as the program writes them) and its standard error discarded.
// 0, with nothing started, when the file cannot be created.
int RunProgramToFile(const std::wstring& programPath, const std::wstring& commandLine,
                     const std::wstring& outputFile, DWORD& exitCode, ChildRun* run = nullptr);

// Like RunProgram, and appends what the program writes to its standard output and error,
// converted from the ANSI code page, to output. pauseMs is slept after each read.
int RunProgramCapture(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& output,
                      DWORD pauseMs = 500, ChildRun* run = nullptr);

// True for a reason a program could not be started that may pass (the system busy or short of
// resources); false for one that stays (no such file, no right to run it, not a program).
bool IsTransientStartError(unsigned long error);

// Like RunProgram, with standard output discarded and what the program writes to its standard
// error, converted from the ANSI code page, appended to errors.
int RunProgramErrors(const std::wstring& programPath, const std::wstring& commandLine, std::wstring& errors,
                     DWORD& exitCode, ChildRun* run = nullptr);

// Like RunCommand, and appends what the command writes to its standard output and error,
// converted from the ANSI code page, to output. pauseMs is slept after each read.
int RunCommandCapture(const std::wstring& command, std::wstring& output, DWORD pauseMs = 500);

// Removes a folder with everything in it, without the interpreter. 1 when it is gone (or was
// never there), 0 when something in it could not be removed.
int RemoveFolder(const std::wstring& path);

// The folder of the engine's own module file, with a trailing backslash; empty when it
// cannot be found.
std::wstring GetModuleFolder();

// True for a 32-bit process on 64-bit Windows.
bool IsWow64();

// True on 64-bit Windows, seen from a 32-bit (WOW64) or a 64-bit process.
bool Is64BitWindows();

// The system folder without a trailing backslash (as a 32-bit process sees it).
std::wstring SystemFolder();

}  // namespace engine
