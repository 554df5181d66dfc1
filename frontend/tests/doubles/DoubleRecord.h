#pragma once
// Shared by the library doubles: settings from the environment, and the record of calls. Each
// call appends a UTF-8 line to the file named in FE_RECORD, or without it to calls.txt in the
// double's own folder, so a test can tell from which folder a library was loaded.
#include <windows.h>

#include <string>

#define DOUBLE_EXPORT extern "C" __declspec(dllexport) int __cdecl

namespace doubles {

inline std::wstring Setting(const wchar_t* name, const wchar_t* fallback = L"") {
    wchar_t value[2048];
    const DWORD n = ::GetEnvironmentVariableW(name, value, 2048);
    if (n == 0 || n >= 2048) return fallback;
    return std::wstring(value, n);
}

inline int IntSetting(const wchar_t* name, int fallback) {
    const std::wstring v = Setting(name);
    return v.empty() ? fallback : _wtoi(v.c_str());
}

inline std::wstring RecordPath() {
    std::wstring path = Setting(L"FE_RECORD");
    if (!path.empty()) return path;
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&RecordPath), &self);
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(self, module, MAX_PATH);
    path = module;
    return path.substr(0, path.rfind(L'\\') + 1) + L"calls.txt";
}

inline void Record(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    HANDLE file = ::CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Records the call by its name and answers the setting, or fallback when it is not set
// (an empty name: no setting).
inline int Recorded(const wchar_t* call, const wchar_t* setting, int fallback) {
    Record(call);
    return IntSetting(setting, fallback);
}

}  // namespace doubles
