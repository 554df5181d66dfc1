#pragma once
// Test doubles of the program's libraries append each call as a line (UTF-8) to
// calls.txt in their own folder, so a test can read what a run called.
#include <windows.h>

#include <string>

#define DOUBLE_EXPORT extern "C" __declspec(dllexport) int __cdecl

namespace doubles {

inline HMODULE Self() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&Self), &self);
    return self;
}

inline void Record(const std::wstring& line) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(Self(), path, MAX_PATH);
    std::wstring file(path);
    file = file.substr(0, file.rfind(L'\\') + 1) + L"calls.txt";
    const std::wstring text = line + L"\n";
    char utf8[1024] = {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8, sizeof(utf8),
                                        nullptr, nullptr);
    HANDLE f = ::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(f, utf8, static_cast<DWORD>(n), &written, nullptr);
    ::CloseHandle(f);
}

inline int Recorded(const std::wstring& line, int result) {
    Record(line);
    return result;
}

}  // namespace doubles
