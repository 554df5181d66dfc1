// A stand-in program for the tests that need a process of their own: copied into a program
// folder beside library doubles, it runs one start-up step as the real program does.
//   main      the main dialog's binding sequence (with a window of its own)
//   usage     the usage-terms dialog's binding sequence
//   remove F  starts the self-removal (its command started directly), then lives until the file F
//             exists (five minutes at most)
//   load NAME [open]  loads a library by its bare name: status 3 if that found one, else 4;
//             "open" leaves the library search as the system sets it up
// A binding failure ends the process from inside the sequence (status 0); a sequence that
// passes ends with status 7.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "GdiPlus.h"
#include "LibraryBindings.h"
#include "SelfRemoval.h"
#include "win/SystemLibraries.h"

// Starts the removal command as the desktop's shell would, as the same user: Wine's shell
// cannot be reached, and the command is what is tested here.
bool StartDirectly(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                          &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"load" && argc > 2) {
        if (!(argc > 3 && std::wstring(argv[3]) == L"open")) util::win::RestrictLibrarySearch();
        return ::LoadLibraryW(argv[2]) ? 3 : 4;
    }
    util::win::RestrictLibrarySearch();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ui::GdiplusSession gdiplus;
    if (mode == L"main") {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        CEngineDll engine;
        CFeedbackDll feedback;
        return frontend::BindMainLibraries(window, 1.0f, frontend::ProgramFolder(), engine, feedback) ? 7 : 1;
    }
    if (mode == L"usage") {
        CMouseHookDll hook;
        CFeedbackDll feedback;
        return frontend::BindUsageLibraries(1.0f, frontend::ProgramFolder(), hook, feedback) ? 7 : 1;
    }
    if (mode == L"remove" && argc > 2) {
        frontend::RemoveProgramFolder(StartDirectly);
        for (int i = 0; i < 3000 && ::GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
        return 0;
    }
    return 64;
}
