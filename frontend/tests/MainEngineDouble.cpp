// OrvaneSkelda.dll double: records every call and plays back a scripted run.
//   FE_SUPPORTED  0 makes GetCurSystemIsSupport fail
//   FE_SELECT     unset: the chooser is cancelled (0); "keep": 1 with the buffer untouched;
//                 anything else: 1 with that text written into the buffer
//   FE_START      0 makes StartGetSystemInfo fail
//   FE_REPORTS    comma-separated WM_COLLECT_RESULT codes sent after a start (default 100,1)
//   FE_REPORT_DELAY  milliseconds before the first report (default 300)
#include <string>

#include "MainDoubleRecord.h"

namespace {

HWND g_window = nullptr;

DWORD WINAPI SendReports(void*) {
    ::Sleep(static_cast<DWORD>(fedouble::IntSetting(L"FE_REPORT_DELAY", 300)));
    std::wstring reports = fedouble::Setting(L"FE_REPORTS", L"100,1");
    size_t at = 0;
    while (at <= reports.size()) {
        size_t comma = reports.find(L',', at);
        if (comma == std::wstring::npos) comma = reports.size();
        const std::wstring code = reports.substr(at, comma - at);
        if (!code.empty()) ::SendMessageW(g_window, WM_USER + 0x219, static_cast<WPARAM>(_wtoi(code.c_str())), 0);
        at = comma + 1;
    }
    return 0;
}

}  // namespace

FE_DOUBLE_EXPORT InitDll() {
    fedouble::Record(L"InitDll");
    return 1;
}

FE_DOUBLE_EXPORT SetWndHandle(HWND window) {
    g_window = window;
    fedouble::Record(L"SetWndHandle");
    return 1;
}

FE_DOUBLE_EXPORT GetCurSystemIsSupport() {
    fedouble::Record(L"GetCurSystemIsSupport");
    return fedouble::IntSetting(L"FE_SUPPORTED", 1);
}

FE_DOUBLE_EXPORT SelectSaveSystemInfoFilePosition(HWND, wchar_t* buffer) {
    fedouble::Record(L"SelectSaveSystemInfoFilePosition");
    const std::wstring answer = fedouble::Setting(L"FE_SELECT");
    if (answer.empty()) return 0;
    if (answer != L"keep") answer.copy(buffer, 1023);
    return 1;
}

FE_DOUBLE_EXPORT StartGetSystemInfo(const wchar_t* path, const int* switches) {
    std::wstring line = L"StartGetSystemInfo ";
    for (int i = 0; i < 8; ++i) line += switches[i] ? L'1' : L'0';
    line += L' ';
    line += path;
    fedouble::Record(line);
    if (!fedouble::IntSetting(L"FE_START", 1)) return 0;
    HANDLE thread = ::CreateThread(nullptr, 0, SendReports, nullptr, 0, nullptr);
    if (thread) ::CloseHandle(thread);
    return 1;
}

FE_DOUBLE_EXPORT RestartSystem() { return 1; }
