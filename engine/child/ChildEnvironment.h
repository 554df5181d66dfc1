#pragma once
// The environment every child of the engine starts with: the system's own variables, never the
// host's. An elevated host inherits the user's environment, which the user can set: a module
// folder of their own first in PSModulePath, or COR_ENABLE_PROFILING and COR_PROFILER_PATH,
// would load code they wrote into every elevated PowerShell.
#include <map>
#include <string>
#include <vector>

namespace engine::child {

// Orders variable names as Windows does: ordinal, ignoring case.
struct NameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};
using Variables = std::map<std::wstring, std::wstring, NameLess>;

// What the system says, as GatherSystemValues() finds it; registry texts as stored, with their
// %references% unexpanded.
struct SystemValues {
    std::wstring windowsFolder;  // the system's Windows folder, without a trailing backslash
    bool wow64 = false;          // the engine is a 32-bit process on 64-bit Windows
    Variables machine;           // the machine's environment (Session Manager\Environment)
    Variables folders;           // by variable name: the native ProgramFiles* and CommonProgram*
                                 // folders, ProgramData, PUBLIC; the user's USERPROFILE, APPDATA
                                 // and LOCALAPPDATA from the profile folder API
    std::wstring tempFolder;     // the run's folder for TEMP and TMP; empty: the machine's TEMP
};

// The child's variables: only the named ones of the system's, their %references% expanded
// against each other (never against the host's environment), PATH of the system folders only,
// PSModulePath of the system's module folder only, TEMP and TMP in the run's folder.
Variables ChildVariables(const SystemValues& system);

// Expands %NAME% with values; a name not in values, and a lone "%", stay as written.
std::wstring ExpandReferences(const std::wstring& text, const Variables& values);

// The block CreateProcessW takes with CREATE_UNICODE_ENVIRONMENT: one "name=value" string per
// variable in name order, each ending in a NUL, and one more NUL at the end. A name that is
// empty or holds "=", or a value that holds a NUL, is left out.
std::vector<wchar_t> EnvironmentBlock(const Variables& variables);

// This system's values, from the machine's registry, the Windows folder and the profile
// folder API; tempFolder stays empty.
SystemValues GatherSystemValues();


}  // namespace engine::child
