// A library that holds its own copy of the engine's child launcher, for the test of a reader
// thread that outlives its run: the host may unload the engine while such a thread still drains
// a pipe that something outside the child's job holds.
#include <windows.h>

#include <string>

#include "child/ChildLauncher.h"

// Starts "ChunkWriter grandchild-errors <release>" without a job, its error output read apart:
// the child ends at once, its grandchild holds the error pipe until release exists, and the
// reader, not cancelled, is left behind. 1 when the child ran.
extern "C" __declspec(dllexport) int __cdecl LeaveErrorReaderBehind(const wchar_t* chunkWriter,
                                                                    const wchar_t* release) {
    engine::child::ChildLauncher::Options options;
    options.withoutJobs = true;
    options.cancelStuckReaders = false;
    const engine::child::ChildLauncher launcher(options);
    engine::child::ChildSpec spec;
    spec.program = chunkWriter;
    spec.commandLine = std::wstring(L"ChunkWriter grandchild-errors \"") + release + L"\"";
    spec.errors = engine::child::Errors::Apart;
    spec.limitMs = 10000;
    return launcher.Run(spec).started ? 1 : 0;
}
