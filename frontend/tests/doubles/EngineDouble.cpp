// OrvaneSkelda.dll double: records every call and plays back a scripted run.
//   FE_INIT       0 makes InitDll fail
//   FE_SUPPORTED  0 makes GetCurSystemIsSupport fail
//   FE_SELECT     unset: the chooser is cancelled (0); "keep": 1 with the buffer untouched;
//                 anything else: 1 with that text written into the buffer
//   FE_START      0 makes StartGetSystemInfo fail
//   FE_REPORTS    comma-separated WM_COLLECT_RESULT codes sent after a start (default 100,1)
//   FE_REPORT_DELAY  milliseconds before the first report (default 300)
//   FE_REPORTS_QUEUED  1: each report is sent by a thread of its own, all while the start still
//                 holds its caller, so that they wait in the caller's queue together, in order,
//                 and arrive in one turn of its message loop (FE_REPORT_DELAY does not apply)
// Built with DOUBLE_WITHOUT_RESTART it does not export RestartSystem.
#include <memory>
#include <vector>

#include "DoubleRecord.h"
#include "api/OrvaneSkeldaApi.h"

namespace {

HWND g_window = nullptr;

std::vector<WPARAM> ReportCodes() {
    const std::wstring reports = doubles::Setting(L"FE_REPORTS", L"100,1");
    std::vector<WPARAM> codes;
    size_t at = 0;
    while (at <= reports.size()) {
        size_t comma = reports.find(L',', at);
        if (comma == std::wstring::npos) comma = reports.size();
        const std::wstring code = reports.substr(at, comma - at);
        if (!code.empty()) codes.push_back(static_cast<WPARAM>(_wtoi(code.c_str())));
        at = comma + 1;
    }
    return codes;
}

void Report(WPARAM code) { ::SendMessageW(g_window, engine::api::kResultMessage, code, 0); }

DWORD WINAPI SendReports(void*) {
    ::Sleep(static_cast<DWORD>(doubles::IntSetting(L"FE_REPORT_DELAY", 300)));
    for (WPARAM code : ReportCodes()) Report(code);
    return 0;
}

struct QueuedReport {
    WPARAM code;
    DWORD delayMs;
};

DWORD WINAPI SendQueuedReport(void* parameter) {
    std::unique_ptr<QueuedReport> report(static_cast<QueuedReport*>(parameter));
    ::Sleep(report->delayMs);
    Report(report->code);
    return 0;
}

// One thread per report, each a little later than the one before; the caller is held until
// every report waits in its queue.
void QueueReports() {
    constexpr DWORD kGapMs = 50;
    const std::vector<WPARAM> codes = ReportCodes();
    for (size_t i = 0; i < codes.size(); ++i) {
        auto* report = new QueuedReport{codes[i], static_cast<DWORD>(i) * kGapMs};
        HANDLE thread = ::CreateThread(nullptr, 0, SendQueuedReport, report, 0, nullptr);
        if (thread)
            ::CloseHandle(thread);
        else
            delete report;
    }
    ::Sleep(static_cast<DWORD>(codes.size()) * kGapMs + 300);
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
    if (doubles::IntSetting(L"FE_REPORTS_QUEUED", 0)) {
        QueueReports();
        return 1;
    }
    HANDLE thread = ::CreateThread(nullptr, 0, SendReports, nullptr, 0, nullptr);
    if (thread) ::CloseHandle(thread);
    return 1;
}

#ifndef DOUBLE_WITHOUT_RESTART
DOUBLE_EXPORT RestartSystem() { return 1; }
#endif
