#pragma once
// Shared by the library doubles of the main-window tests: settings from the environment and
// one record file (FE_RECORD) to which every call appends a UTF-8 line.
#include <windows.h>

#include <string>

namespace fedouble {

inline std::wstring Setting(const wchar_t* name, const wchar_t* fallback = L"") {
    wchar_t value[2048];
    DWORD n = ::GetEnvironmentVariableW(name, value, 2048);
    if (n == 0 || n >= 2048) return fallback;
    return std::wstring(value, n);
}

inline int IntSetting(const wchar_t* name, int fallback) {
    std::wstring v = Setting(name);
    return v.empty() ? fallback : _wtoi(v.c_str());
}

inline void Record(const std::wstring& line) {
    std::wstring path = Setting(L"FE_RECORD");
    if (path.empty()) return;
    std::wstring text = line + L"\n";
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace fedouble

#define FE_DOUBLE_EXPORT extern "C" __declspec(dllexport) int __cdecl
