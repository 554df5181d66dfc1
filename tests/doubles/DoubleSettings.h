#pragma once
// The test doubles' knobs (SKELDA_DOUBLES_*). The engine starts its tools with the system's
// environment, not its host's, so an end-to-end run sets them in a file in the doubles' own
// folder of the prefix; a test that starts a double itself may still set an environment
// variable of the same name, which wins over the file.
#include <windows.h>

#include <string>

namespace doubles {

// Lines "SKELDA_DOUBLES_HANG=CPU" under "[Doubles]".
constexpr const wchar_t* kSettingsFile = L"C:\\skelda-doubles\\settings.ini";

// The knob's value from the environment, else from the settings file; empty when set in neither.
inline std::wstring Knob(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    if (n > 0 && n < 1024) return value;
    if (::GetPrivateProfileStringW(L"Doubles", name, L"", value, 1024, kSettingsFile) > 0) return value;
    return {};
}

}  // namespace doubles
