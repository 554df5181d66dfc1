#include "SelfRemoval.h"

#include <windows.h>

#include "api/Categories.h"
#include "LibraryBindings.h"
#include "win/UniqueHandle.h"

namespace frontend {

const wchar_t* const kShippedFiles[] = {L"OrvaneSkelda.dll", L"OrvaneMouseHook.dll",
                                        L"OrvaneFeedbackInformation.dll", L"OrvaneFeedbackInformation.ini",
                                        L"SkeldaCollect.exe", nullptr};
const wchar_t* const kShippedPackers[] = {L"7z\\x86\\7zx86.exe", L"7z\\x64\\7zx64.exe", nullptr};

bool HoldsOnlyEngineOutput(const std::wstring& workingFolder) {
    WIN32_FIND_DATAW data;
    util::win::UniqueFindHandle find(::FindFirstFileW((workingFolder + L"\\*").c_str(), &data));
    if (!find.Valid()) return true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const bool known = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           (engine::api::IsCategoryFolder(name) || name == engine::api::kWorkingTempFolder);
        if (!known) return false;
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

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

// How the command waits for the program: its standard input is a pipe whose only writing end
// stays open in the program until the process ends, so "set /p" returns exactly then, however
// long the program still takes. The program file can be deleted only once the system has
// unmapped it, a moment after the handles close; three more tries after pauses of about 1, 2
// and 4 seconds (ping) cover that. Everything else is deleted only when the program file is
// gone, so a program that somehow still runs leaves everything in place.
// Every "if" stands in parentheses: cmd would otherwise take the rest of the line as part of it.
std::wstring SelfRemovalArguments(const std::wstring& programFolder, const std::wstring& programName,
                                  bool removeWorkingFolder) {
    std::wstring folder = programFolder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (!SafeOnCommandLine(folder) || programName.empty() ||
        programName.find_first_of(L"\\/:\"%\r\n*?") != std::wstring::npos)
        return {};

    const std::wstring program = Quoted(folder, programName);
    std::wstring rest;
    for (const wchar_t* const* f = kShippedFiles; *f; ++f) rest += L"del /f /q " + Quoted(folder, *f) + L" & ";
    for (const wchar_t* const* p = kShippedPackers; *p; ++p) rest += L"del /f /q " + Quoted(folder, *p) + L" & ";
    for (const wchar_t* sub : {L"7z\\x86", L"7z\\x64", L"7z"}) rest += L"rmdir " + Quoted(folder, sub) + L" & ";
    rest += std::wstring(removeWorkingFolder ? L"rmdir /s /q " : L"rmdir ") + Quoted(folder, L"SystemInfoLog") + L" & ";
    // Without /s rmdir leaves a folder that still holds anything; a drive root stays anyway.
    if (IsDriveRoot(folder))
        rest.resize(rest.size() - 3);
    else
        rest += L"rmdir \"" + folder + L"\"";

    std::wstring body = L"set /p _= & del /f /q " + program;
    for (const wchar_t* pings : {L"2", L"3", L"5"})
        body += L" & (if exist " + program + L" (ping -n " + pings + L" 127.0.0.1 & del /f /q " + program + L"))";
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

int RemoveProgramFolder() {
    const std::wstring system = SystemFolder();
    const std::wstring program = ProgramPath();
    const std::wstring folder = ProgramFolder();
    const std::wstring arguments = SelfRemovalArguments(folder, program.substr(program.rfind(L'\\') + 1),
                                                        HoldsOnlyEngineOutput(folder + L"\\SystemInfoLog"));
    if (system.empty() || arguments.empty()) return 1;

    // The reading end goes to cmd; the writing end is never inheritable and stays open here
    // until the process ends (deliberately not closed).
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return 1;
    util::win::UniqueHandle input(readEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    util::win::UniqueHandle nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                           OPEN_EXISTING, 0, nullptr));

    const std::wstring cmd = system + L"\\cmd.exe";
    std::wstring commandLine = L"\"" + cmd + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = readEnd;
    si.hStdOutput = nul.Get();
    si.hStdError = nul.Get();
    PROCESS_INFORMATION pi{};
    // Started in the system folder: a current folder inside the program folder would keep it.
    if (::CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                         system.c_str(), &si, &pi)) {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    } else {
        ::CloseHandle(writeEnd);
    }
    return 1;
}

}  // namespace frontend
