#include "SelfRemoval.h"

#include <windows.h>

#include "LibraryBindings.h"
#include "win/DesktopShell.h"

namespace frontend {

const wchar_t* const kShippedFiles[] = {L"OrvaneSkelda.dll", L"OrvaneMouseHook.dll",
                                        L"OrvaneFeedbackInformation.dll", L"OrvaneFeedbackInformation.ini",
                                        L"SkeldaCollect.exe", nullptr};
const wchar_t* const kShippedPackers[] = {L"7z\\x86\\7zx86.exe", L"7z\\x64\\7zx64.exe", nullptr};

namespace {

// A path cmd takes literally inside quotes: no quote, no %, no line break, no wildcard, and
// absolute (drive or share), so that nothing is resolved against cmd's current folder.
bool SafeOnCommandLine(const std::wstring& path) {
    if (path.size() < 2) return false;
    if (path.find_first_of(L"\"%\r\n*?") != std::wstring::npos) return false;
    const bool drive = path[1] == L':' && iswalpha(path[0]);
    const bool share = path.compare(0, 2, L"\\\\") == 0;
    return drive || share;
}

// cmd reads at most 8191 characters of a command line.
constexpr size_t kMaxCommandLength = 8000;

bool IsDriveRoot(const std::wstring& folder) { return folder.size() == 2 && folder[1] == L':'; }

std::wstring Quoted(const std::wstring& folder, const std::wstring& name) {
    return L"\"" + folder + L"\\" + name + L"\"";
}

}  // namespace

std::wstring SelfRemovalArguments(const std::wstring& programFolder, const std::wstring& programName,
                                  const std::wstring& pingPath) {
    std::wstring folder = programFolder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (!SafeOnCommandLine(folder) || !SafeOnCommandLine(pingPath) || programName.empty() ||
        programName.find_first_of(L"\\/:\"%\r\n*?") != std::wstring::npos)
        return {};

    const std::wstring program = Quoted(folder, programName);
    std::wstring rest;
    for (const wchar_t* const* f = kShippedFiles; *f; ++f) rest += L"del /f /q " + Quoted(folder, *f) + L" & ";
    for (const wchar_t* const* p = kShippedPackers; *p; ++p) rest += L"del /f /q " + Quoted(folder, *p) + L" & ";
    for (const wchar_t* sub : {L"7z\\x86", L"7z\\x64", L"7z"}) rest += L"rmdir " + Quoted(folder, sub) + L" & ";
    // Without /s rmdir leaves a folder that still holds anything; a drive root stays anyway.
    if (IsDriveRoot(folder))
        rest.resize(rest.size() - 3);
    else
        rest += L"rmdir \"" + folder + L"\"";

    // The program file can be deleted only once its process has ended and the system has unmapped
    // it: tried at once, then after pauses that grow to about a minute in all; the rest goes only
    // once it is gone. (No "for" loop: the test bed's cmd cannot parse one nested like this.)
    const std::wstring retry = L" & (if exist " + program + L" (\"" + pingPath + L"\" -n ";
    std::wstring body = L"del /f /q " + program + L" >nul 2>&1";
    for (const wchar_t* pings : {L"2", L"2", L"3", L"3", L"5", L"5", L"10", L"10", L"20"})
        body += retry + pings + L" 127.0.0.1 >nul & del /f /q " + program + L" >nul 2>&1))";
    body += L" & (if not exist " + program + L" (" + rest + L"))";
    if (body.size() > kMaxCommandLength) return {};
    return L"/D /S /C \"" + body + L"\"";
}

namespace {

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

}  // namespace

bool StartThroughDesktop(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    return util::win::ExecuteThroughDesktop(program, arguments, folder, SW_HIDE);
}

int RemoveProgramFolder(CommandStarter start) {
    const std::wstring system = SystemFolder();
    const std::wstring program = ProgramPath();
    const std::wstring arguments =
        SelfRemovalArguments(ProgramFolder(), program.substr(program.rfind(L'\\') + 1), system + L"\\PING.EXE");
    if (system.empty() || arguments.empty() || !start) return 1;
    start(system + L"\\cmd.exe", arguments, system);
    return 1;
}

}  // namespace frontend
