#pragma once
// The programs the engine's tests start, and the one launcher they start them with.
#include <string>

#include "child/ChildLauncher.h"
#include "win/SystemPaths.h"

namespace engine::testing {

// ChunkWriter.exe beside the test binary (engine/testing/ChunkWriter.cpp).
inline std::wstring TestProgram() {
    return util::win::ModuleFolderOf(reinterpret_cast<const void*>(&TestProgram)) + L"ChunkWriter.exe";
}

// A launcher as a run makes one, with the machine's TEMP folder.
inline const child::ChildLauncher& Launcher() {
    static const child::ChildLauncher launcher(child::ChildLauncher::Options{});
    return launcher;
}

// The program's output and error text, as the event-log listing reads them.
inline child::ChildResult Capture(const std::wstring& program, const std::wstring& commandLine,
                                  DWORD limitMs = INFINITE, const child::ChildLauncher& launcher = Launcher()) {
    child::ChildSpec spec;
    spec.program = program;
    spec.commandLine = commandLine;
    spec.output = child::Output::Capture;
    spec.errors = child::Errors::WithOutput;
    spec.limitMs = limitMs;
    return launcher.Run(spec);
}

// The program run with its output discarded.
inline child::ChildResult RunQuietly(const std::wstring& program, const std::wstring& commandLine,
                                     DWORD limitMs = INFINITE, const child::ChildLauncher& launcher = Launcher()) {
    child::ChildSpec spec;
    spec.program = program;
    spec.commandLine = commandLine;
    spec.limitMs = limitMs;
    return launcher.Run(spec);
}

}  // namespace engine::testing
