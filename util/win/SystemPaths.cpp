#include "win/SystemPaths.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "text/CommandLine.h"
#include "text/PathText.h"
#include "win/ProcAddress.h"

namespace util::win {

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    UINT n = ::GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(path, n);
}

std::wstring WindowsFolder() {
    // The system's own Windows folder, not a per-session one of a terminal server.
    wchar_t path[MAX_PATH];
    UINT n = ::GetSystemWindowsDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    while (n > 3 && path[n - 1] == L'\\') --n;
    return std::wstring(path, n);
}

namespace {

// The file of module (null: the program's); empty when it cannot be read.
std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) return std::wstring(name.data(), n);
        if (name.size() >= text::kMaxCommandLine) return {};  // no command could hold it
        name.resize(name.size() * 2);
    }
}

}  // namespace

std::wstring ModuleFolderOf(const void* address) {
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &self)) {
        return {};
    }
    const std::wstring path = ModulePath(self);
    return path.empty() ? path : text::FolderOfFile(path);
}

std::wstring ProgramPath() { return ModulePath(nullptr); }

std::wstring SystemTempFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT n = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring folder(windows, n);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder + L"\\Temp";
}

std::wstring FullPathOf(const std::wstring& path) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (written == 0 || written >= n) return {};
    full.resize(written);
    return full;
}

bool IsWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const IsWow64ProcessFn isWow64Process = [] {
        return ProcAddress<IsWow64ProcessFn>(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    }();
    BOOL wow = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow) && wow;
}

bool Is64BitWindows() { return sizeof(void*) == 8 || IsWow64(); }

}  // namespace util::win
