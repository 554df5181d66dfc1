#pragma once
// Starts Windows' tools and the packer directly by their full path, hidden, each in a job of its
// own, with the system's environment, and waits for them within their limits. One launcher per
// run: it owns what every child of the run shares (the environment block, the temporary folder,
// whether children get jobs); a step gets it as an argument.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace engine::child {

// Receives what a child writes, as it comes; it must not keep a copy it does not need.
using OutputSink = std::function<void(const char* data, size_t size)>;

// Where a child's standard output goes.
enum class Output {
    Discard,  // to NUL
    File,     // into ChildSpec::outputFile, created or replaced: the bytes exactly as written
    Capture,  // into ChildResult::output, converted from the ANSI code page
    Stream,   // to ChildSpec::sink as it comes, the bytes as they are
};

// Where its standard error goes.
enum class Errors {
    Discard,     // to NUL
    WithOutput,  // the same place as the output (Capture: mixed in, as a console shows it)
    Apart,       // into ChildResult::errors (the first kMaxErrorBytes), never into the output
};

// What to start, and how.
struct ChildSpec {
    std::wstring program;      // the file that runs, a full path
    std::wstring commandLine;  // its whole command line, its own name first (for its own use)
    Output output = Output::Discard;
    std::wstring outputFile;   // Output::File
    OutputSink sink;           // Output::Stream
    Errors errors = Errors::Discard;
    DWORD limitMs = INFINITE;  // the child and everything it started end there
};

// What became of it.
struct ChildResult {
    bool started = false;
    // Why it was not: the system's error code, and where the engine refused the start itself
    // (the system was never asked), that refusal in words.
    DWORD startError = 0;
    std::wstring refusal;
    int attempts = 0;              // starts tried: more than one only after passing failures
    DWORD exitCode = 0;
    DWORD limitMs = INFINITE;      // the limit it ran under
    bool timedOut = false;         // its tree was ended at the limit
    // The system gave the child no job of its own (jobError says why): at its limit only the
    // child itself can be ended, and a reading of its output is given up.
    bool withoutJob = false;
    DWORD jobError = 0;
    bool endUnconfirmed = false;   // it (or its output pipe) had not ended kEndWaitMs after its tree was ended
    std::wstring output;           // Output::Capture
    std::wstring errors;           // Errors::Apart
};

// The exit code a child's tree is ended with at its limit (ERROR_TIMEOUT).
constexpr DWORD kTimedOutExitCode = 1460;
// How long the launcher waits for a child to end after ending it at its limit.
constexpr DWORD kEndWaitMs = 10000;
// The most of a child's error output that is kept.
constexpr size_t kMaxErrorBytes = 16 * 1024;

// True for a reason a program could not be started that may pass (the system busy or short of
// resources); false for one that stays (no such file, no right to run it, not a program).
bool IsTransientStartError(unsigned long error);

class ChildLauncher {
public:
    struct Options {
        // TEMP and TMP of every child; empty: the machine's TEMP folder.
        std::wstring tempFolder;
        // Children get no job of their own, as where the system refuses one (tests).
        bool withoutJobs = false;
        // An error reader still blocked after the child's tree ended is cancelled; tests turn
        // that off to leave one behind, as when the cancel falls between two reads.
        bool cancelStuckReaders = true;
    };

    // Gathers the system's values once and builds the children's environment block from them.
    explicit ChildLauncher(const Options& options);
    ChildLauncher(const ChildLauncher&) = delete;
    ChildLauncher& operator=(const ChildLauncher&) = delete;

    // Starts the child in the system folder, standard input NUL, without a console window, in a
    // job that ends it and everything it started when the job's handle closes (at the latest
    // when the step is over or the host process ends), and waits for it within its limit. No
    // interpreter: no "%" or quote of the arguments is ever reinterpreted. A start that fails
    // for a passing reason is tried twice more, after a pause. Safe to call from several
    // threads at once.
    ChildResult Run(const ChildSpec& spec) const;

    // The block every child gets (CREATE_UNICODE_ENVIRONMENT): see ChildEnvironment.h.
    const std::vector<wchar_t>& EnvironmentBlock() const { return environment_; }

private:
    std::vector<wchar_t> environment_;
    bool withoutJobs_;
    bool cancelStuckReaders_;
};

}  // namespace engine::child
