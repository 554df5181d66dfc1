// SkeldaCollect: runs one collection with the engine beside it, from a console or a script.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "CollectOptions.h"
#include "ConsoleText.h"
#include "LogSave.h"
#include "OrvaneSkeldaApi.h"
#include "PathText.h"
#include "ProcAddress.h"
#include "ProgressQueue.h"
#include "RunGuard.h"
#include "SystemLibraries.h"
#include "TrustedPlace.h"

namespace {

using collect::Print;

constexpr UINT WM_COLLECT_RESULT = orvane::kResultMessage;
constexpr WPARAM kFinished = orvane::kResultFinished;

enum ExitCode : int {
    kCollected = 0,
    kCollectedNotAllOk = 6,
    kFailed = 1,
    kFolderFailed = 2,
    kEngineProblem = 3,
    kUnsupported = 4,
    kBusy = 5,
    kNotAdministrator = 7,
    kUsage = 64,
};

struct EngineApi {
    orvane::InitDllFn InitDll = nullptr;
    orvane::SetWndHandleFn SetWndHandle = nullptr;
    orvane::GetCurSystemIsSupportFn GetCurSystemIsSupport = nullptr;
    orvane::SelectSaveSystemInfoFilePositionFn SelectSaveSystemInfoFilePosition = nullptr;
    orvane::StartGetSystemInfoFn StartGetSystemInfo = nullptr;
    orvane::RestartSystemFn RestartSystem = nullptr;

    bool Bind(HMODULE engine) {
        InitDll = skelda::ProcAddress<decltype(InitDll)>(engine, "InitDll");
        SetWndHandle = skelda::ProcAddress<decltype(SetWndHandle)>(engine, "SetWndHandle");
        GetCurSystemIsSupport = skelda::ProcAddress<decltype(GetCurSystemIsSupport)>(engine, "GetCurSystemIsSupport");
        SelectSaveSystemInfoFilePosition = skelda::ProcAddress<decltype(SelectSaveSystemInfoFilePosition)>(
            engine, "SelectSaveSystemInfoFilePosition");
        StartGetSystemInfo = skelda::ProcAddress<decltype(StartGetSystemInfo)>(engine, "StartGetSystemInfo");
        RestartSystem = skelda::ProcAddress<decltype(RestartSystem)>(engine, "RestartSystem");
        return InitDll && SetWndHandle && GetCurSystemIsSupport && SelectSaveSystemInfoFilePosition &&
               StartGetSystemInfo && RestartSystem;
    }
};

// Receives the engine's result messages, the pair (100, outcome), and its progress after each
// step, which it counts for the summary and, unless quiet, prints. Both arrive sent from the
// engine's workers, which wait meanwhile: their lines only go to the writer's queue.
class ResultWindow {
public:
    ResultWindow(bool quiet, collect::ConsoleWriter& out) : quiet_(quiet), out_(out) {}
    bool Create() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ResultWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkeldaCollectResult";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
        return hwnd_ != nullptr;
    }
    HWND Handle() const { return hwnd_; }
    // The outcome of the first pair, once it has arrived; 0 before.
    WPARAM Outcome() const { return outcome_; }
    int Steps() const { return steps_; }
    int StepsNotOk() const { return steps_ - ok_; }
    std::wstring Summary() const {
        std::wstring text = L"steps: " + std::to_wstring(steps_);
        for (const auto& [outcome, count] : counts_) text += L", " + outcome + L" " + std::to_wstring(count);
        return text;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ResultWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        try {
            if (self && msg == WM_COLLECT_RESULT) {
                self->OnResult(wParam);
                return 0;
            }
            if (self && msg == orvane::kStepMessage && lParam) {
                self->OnStep(*reinterpret_cast<const orvane::StepProgress*>(lParam));
                return 0;
            }
        } catch (...) {
            return 0;  // out of memory for a line: the run goes on without it
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    void OnResult(WPARAM code) {
        out_.Line(L"result message " + std::to_wstring(code) + L": " + Describe(code) + L"\n");
        if (code != kFinished && outcome_ == 0) outcome_ = code;
    }

    void OnStep(const orvane::StepProgress& step) {
        const std::wstring outcome = step.outcome ? step.outcome : L"?";
        ++steps_;
        if (outcome == L"ok") ++ok_;
        bool counted = false;
        for (auto& [name, count] : counts_) {
            if (name == outcome) {
                ++count;
                counted = true;
            }
        }
        if (!counted) counts_.emplace_back(outcome, 1);
        if (quiet_) return;
        wchar_t seconds[32];
        swprintf(seconds, 32, L"%.1f s", step.durationMs / 1000.0);
        // The text is copied here: the engine's pointers live only as long as this call.
        out_.Progress(L"[" + std::to_wstring(step.done) + L"/" + std::to_wstring(step.planned) + L"] " + outcome +
                      L" " + seconds + L"  " + (step.what ? step.what : L"") + L"\n");
    }

    static std::wstring Describe(WPARAM code) {
        switch (code) {
            case kFinished: return L"collection ended";
            case 1: return L"收集系统信息成功！ (archive made)";
            case 2: return L"收集系统信息失败！ (a step or the packing failed)";
            case 3: return L"收集系统信息失败！ (a folder could not be created)";
            default: return L"unknown";
        }
    }

    HWND hwnd_ = nullptr;
    WPARAM outcome_ = 0;
    bool quiet_ = false;
    collect::ConsoleWriter& out_;
    int steps_ = 0;
    int ok_ = 0;
    std::vector<std::pair<std::wstring, int>> counts_;  // in the order outcomes first came
};

// Hands the limits given on the command line to the engine, over its own settings.
void PassLimits(const collect::Options& options) {
    const std::pair<unsigned long, const wchar_t*> limits[] = {
        {options.commandSeconds, L"ORVANE_SKELDA_COMMAND_SECONDS"},
        {options.longCommandSeconds, L"ORVANE_SKELDA_LONG_COMMAND_SECONDS"},
        {options.runSeconds, L"ORVANE_SKELDA_RUN_SECONDS"},
    };
    for (const auto& [seconds, variable] : limits)
        if (seconds) ::SetEnvironmentVariableW(variable, std::to_wstring(seconds).c_str());
    if (!options.pool.empty()) ::SetEnvironmentVariableW(L"ORVANE_SKELDA_POOL", options.pool.c_str());
    ::SetEnvironmentVariableW(orvane::kProgressVariable, L"1");
}

std::wstring ProgramFolder() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) return skelda::FolderOfFile(std::wstring(name.data(), n));
        name.resize(name.size() * 2);
    }
}

std::wstring FullPath(const std::wstring& path) {
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::vector<wchar_t> full(n);
    n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    return std::wstring(full.data(), n);
}

// A variable the engine set in this process for its host; empty when not set.
std::wstring EngineVariable(const wchar_t* name) {
    const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::vector<wchar_t> value(n);
    const DWORD written = ::GetEnvironmentVariableW(name, value.data(), n);
    return written < n ? std::wstring(value.data(), written) : std::wstring();
}

constexpr const wchar_t* kArchiveCheckName = L"archive-check.txt";

// 64-bit Windows: a 64-bit process, or a 32-bit one that WOW64 runs.
bool Is64BitWindows() {
    if (sizeof(void*) == 8) return true;
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto fn = skelda::ProcAddress<Fn>(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    BOOL wow = FALSE;
    return fn && fn(::GetCurrentProcess(), &wow) && wow;
}

// Handles messages, the engine's sent ones included, until done() holds.
template <typename Done>
void PumpUntil(Done done) {
    while (!done()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// Why a start was refused while the engine could be asked: the machine-wide guard.
int GuardRefusal() {
    switch (skelda::RunGuard::Probe(orvane::kRunGuardName)) {
        case skelda::GuardState::Acquired:
            Print(L"the engine refused to start a collection\n", STD_ERROR_HANDLE);
            return kEngineProblem;
        case skelda::GuardState::Busy: break;
        case skelda::GuardState::Untrusted:
            Print(L"the machine-wide guard of collections was made by someone who is not an administrator\n",
                  STD_ERROR_HANDLE);
            break;
        case skelda::GuardState::Unavailable:
            Print(L"the machine-wide guard of collections cannot be had\n", STD_ERROR_HANDLE);
            break;
    }
    Print(L"another collection is running on this machine; try again when it has ended\n", STD_ERROR_HANDLE);
    return kBusy;
}

int Run(const collect::Options& options) {
    // The engine writes the tool log and holds the machine-wide guard as an administrator;
    // without the rights it could do neither safely.
    if (!options.info && !skelda::ProcessIsAdministrator()) {
        Print(L"需要管理员权限 (this program needs administrator rights: run it from an elevated prompt)\n",
              STD_ERROR_HANDLE);
        return kNotAdministrator;
    }
    const std::wstring enginePath = ProgramFolder() + L"OrvaneSkelda.dll";
    HMODULE engine = ::LoadLibraryExW(enginePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!engine) {
        Print(L"cannot load the engine " + enginePath + L" (error " + std::to_wstring(::GetLastError()) + L")\n",
              STD_ERROR_HANDLE);
        return kEngineProblem;
    }
    EngineApi api;
    if (!api.Bind(engine)) {
        Print(L"the engine " + enginePath + L" lacks one of its functions\n", STD_ERROR_HANDLE);
        return kEngineProblem;
    }
    // From here on the console may stall without holding up the run: the lines go through
    // the writer, which gets a bounded time to print what is left when the host returns.
    collect::ConsoleWriter out([](const std::wstring& text) { Print(text); });
    ResultWindow window(options.quiet, out);
    if (!window.Create() || !api.SetWndHandle(window.Handle())) {
        Print(L"cannot create the result window\n", STD_ERROR_HANDLE);
        return kEngineProblem;
    }
    const bool supported = api.GetCurSystemIsSupport() != 0;
    if (options.info) {
        Print(L"engine: " + enginePath + L"\n");
        Print(std::wstring(L"system supported: ") + (supported ? L"yes" : L"no (此工具不支持当前系统)") + L"\n");
        Print(std::wstring(L"64-bit Windows: ") + (Is64BitWindows() ? L"yes, packer 7z\\x64\\7zx64.exe"
                                                                     : L"no, packer 7z\\x86\\7zx86.exe") + L"\n");
        return supported ? kCollected : kUnsupported;
    }
    if (!supported) {
        Print(L"此工具不支持当前系统 (this system is not supported)\n", STD_ERROR_HANDLE);
        return kUnsupported;
    }
    api.InitDll();

    const std::wstring requested = FullPath(options.archivePath.empty() ? L"信息收集.7z" : options.archivePath);
    PassLimits(options);
    // The engine judges the same folder and file by the same rules.
    const std::wstring distrust = CLogSave::Instance().Distrust();
    if (!distrust.empty()) Print(distrust + L"\n", STD_ERROR_HANDLE);
    if (!api.StartGetSystemInfo(requested.c_str(), options.switches.data())) {
        out.Finish(collect::ConsoleWriter::kDrainMs);
        return GuardRefusal();
    }
    // The target as the engine took it: absolute, ".7z" added where the name had none.
    const std::wstring target = EngineVariable(orvane::kArchiveVariable);
    out.Line(L"collecting into " + (target.empty() ? requested : target) + L"\n");
    PumpUntil([&] { return window.Outcome() != 0; });
    // The workers keep the engine loaded until they have ended; once ours is the only
    // reference left and it is released, the module goes away with the last worker. Until
    // then later result pairs (one per failing worker) are still received and printed.
    ::FreeLibrary(engine);
    PumpUntil([&] { return ::GetModuleHandleW(enginePath.c_str()) == nullptr; });
    out.Line(window.Summary() + L"\n");
    if (const std::size_t dropped = out.Dropped())
        out.Line(L"progress lines dropped (the console did not take them): " + std::to_wstring(dropped) + L"\n");
    switch (window.Outcome()) {
        case 1: {
            const std::wstring archive = EngineVariable(orvane::kArchiveVariable);
            out.Line(L"archive: " + archive + L"\n");
            if (!target.empty() && archive != target)
                out.Line(L"the earlier archive at " + target + L" could not be replaced (open in another program, or "
                      L"read-only); the new archive was kept beside it under the name above\n");
            const std::wstring lacks = EngineVariable(orvane::kArchiveLacksVariable);
            if (!lacks.empty())
                out.Line(L"the archive is not complete (" + lacks + L"): see " + kArchiveCheckName +
                      L" in the archive\n");
            if (window.StepsNotOk() == 0 && lacks.empty()) return kCollected;
            if (window.StepsNotOk() != 0) out.Line(L"some steps did not end ok: see 收集报告.txt in the archive\n");
            return kCollectedNotAllOk;
        }
        case 3: {
            const std::wstring problem = EngineVariable(orvane::kFolderProblemVariable);
            if (!problem.empty()) Print(L"nothing was collected: " + problem + L"\n", STD_ERROR_HANDLE);
            return kFolderFailed;
        }
        default: return kFailed;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Libraries come from the system folder or by full path, never from the current folder.
    skelda::RestrictLibrarySearch();
    std::vector<std::wstring> args(argv + 1, argv + argc);
    collect::Options options;
    const std::wstring error = collect::ParseOptions(args, options);
    if (!error.empty()) {
        Print(error + L"\n" + collect::UsageText(), STD_ERROR_HANDLE);
        return kUsage;
    }
    return Run(options);
}
