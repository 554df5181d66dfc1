// What a user who is not an administrator can do to the collections of a machine.
//   Unprivileged plant-guard <name> <ready marker> <release marker>
//     Makes the semaphore <name> first: owned by this process's user, open to everyone, with
//     no free slot. Writes the ready marker, then holds it until the release marker appears
//     (two minutes at most). Exit 1 when the name cannot be made.
//   Unprivileged restricted <program> [<argument>...]
//     Runs the program with this process's token, the Administrators group kept for denying
//     only (as a user who is no administrator, or one not elevated), and ends with its exit
//     code; 1 when it cannot be started.
#include <windows.h>

#include <sddl.h>

#include <string>

#include "text/CommandLine.h"
#include "files/AccessLists.h"
#include "win/UniqueHandle.h"
#include "win/ProcessToken.h"

namespace {

int PlantGuard(const wchar_t* name, const wchar_t* ready, const wchar_t* release) {
    const std::wstring sddl = L"O:" + util::win::CurrentUserSid() + L"D:(A;;GA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return 1;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    util::win::UniqueHandle planted(::CreateSemaphoreW(&attributes, 0, 1, name));
    ::LocalFree(descriptor);
    if (!planted || ::GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    util::win::UniqueHandle marker(::CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int i = 0; i < 1200 && ::GetFileAttributesW(release) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
    return 0;
}

int Restricted(int argc, wchar_t** argv) {
    HANDLE own = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return 1;
    util::win::UniqueHandle token(own);
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return 1;
    SID_AND_ATTRIBUTES denyOnly{administrators, 0};
    HANDLE restricted = nullptr;
    if (!::CreateRestrictedToken(token.Get(), 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted)) return 1;
    util::win::UniqueHandle restrictedToken(restricted);

    std::wstring command;
    for (int i = 0; i < argc; ++i) command += (i ? L" " : L"") + util::text::Quoted(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessAsUserW(restrictedToken.Get(), argv[0], &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &process))
        return 1;
    util::win::UniqueHandle child(process.hProcess);
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(child.Get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(child.Get(), &code);
    return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"plant-guard" && argc == 5) return PlantGuard(argv[2], argv[3], argv[4]);
    if (mode == L"restricted" && argc >= 3) return Restricted(argc - 2, argv + 2);
    return 64;
}
