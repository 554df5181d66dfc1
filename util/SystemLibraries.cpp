#include "SystemLibraries.h"

#include <delayimp.h>

#include <string>

#include "ProcAddress.h"
#include "WideText.h"

namespace skelda {

bool RestrictLibrarySearch() {
    LoadDelayedLibrariesFromSystemFolder();
    ::SetDllDirectoryW(L"");  // no current folder in the search, even where the rest cannot be had
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = ProcAddress<SetDefaultDllDirectoriesFn>(::GetModuleHandleW(L"kernel32.dll"),
                                                                    "SetDefaultDllDirectories");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, n) + L"\\" + name;
    // Its own imports are looked for beside it first, in the system folder.
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// Every delay-imported library is loaded by full path from the system folder. Once loaded,
// later loads by name find it, so the library never comes from anywhere else. The common
// controls are the exception: the manifest takes version 6 from the side-by-side store, which
// only a load by name finds (nullptr lets the loader do that, in the narrowed search).
FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    if (::lstrcmpiA(info->szDll, "comctl32.dll") == 0) return nullptr;
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(Widen(info->szDll, CP_ACP).c_str()));
}

}  // namespace

void LoadDelayedLibrariesFromSystemFolder() { __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder; }

}  // namespace skelda
