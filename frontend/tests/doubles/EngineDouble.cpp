// OrvaneSkelda.dll double: records every call and plays back a scripted run.
//   FE_INIT       0 makes InitDll fail
//   FE_SUPPORTED  0 makes GetCurSystemIsSupport fail
//   FE_SELECT     unset: the chooser is cancelled (0); "keep": 1 with the buffer untouched;
//                 anything else: 1 with that text written into the buffer
//   FE_START      0 makes StartGetSystemInfo fail
//   FE_REPORTS    comma-separated WM_COLLECT_RESULT codes sent after a start (default 100,1)
//   FE_REPORT_DELAY  milliseconds before the first report (default 300)
// Built with DOUBLE_WITHOUT_RESTART it does not export RestartSystem.
#include "DoubleRecord.h"
#include "OrvaneSkeldaApi.h"

namespace {

HWND g_window = nullptr;

DWORD WINAPI SendReports(void*) {
    ::Sleep(static_cast<DWORD>(doubles::IntSetting(L"FE_REPORT_DELAY", 300)));
    const std::wstring reports = doubles::Setting(L"FE_REPORTS", L"100,1");
    size_t at = 0;
    while (at <= reports.size()) {
        size_t comma = reports.find(L',', at);
        if (comma == std::wstring::npos) comma = reports.size();
        const std::wstring code = reports.substr(at, comma - at);
        if (!code.empty()) ::SendMessageW(g_window, orvane::kResultMessage, static_cast<WPARAM>(_wtoi(code.c_str())), 0);
        at = comma + 1;
    }
    return 0;
}

}  // namespace

DOUBLE_EXPORT InitDll() { return doubles::Recorded(L"InitDll", L"FE_INIT", 1); }

DOUBLE_EXPORT SetWndHandle(HWND window) {
    g_window = window;
    doubles::Record(::IsWindow(window) ? L"SetWndHandle window" : L"SetWndHandle no-window");
    return 1;
}

DOUBLE_EXPORT GetCurSystemIsSupport() { return doubles::Recorded(L"GetCurSystemIsSupport", L"FE_SUPPORTED", 1); }

DOUBLE_EXPORT SelectSaveSystemInfoFilePosition(HWND, wchar_t* buffer) {
    doubles::Record(L"SelectSaveSystemInfoFilePosition");
    const std::wstring answer = doubles::Setting(L"FE_SELECT");
    if (answer.empty()) return 0;
    if (answer != L"keep") answer.copy(buffer, 1023);
    return 1;
}

DOUBLE_EXPORT StartGetSystemInfo(const wchar_t* path, const int* switches) {
    std::wstring line = L"StartGetSystemInfo ";
    for (int i = 0; i < 8; ++i) line += switches[i] ? L'1' : L'0';
    doubles::Record(line + L' ' + path);
    if (!doubles::IntSetting(L"FE_START", 1)) return 0;
    HANDLE thread = ::CreateThread(nullptr, 0, SendReports, nullptr, 0, nullptr);
    if (thread) ::CloseHandle(thread);
    return 1;
}

#ifndef DOUBLE_WITHOUT_RESTART
DOUBLE_EXPORT RestartSystem() { return 1; }
#endif
