// SkeldaCollect: runs one collection with the engine beside it, from a console or a script.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "CleanStart.h"
#include "CollectOptions.h"
#include "ConsoleText.h"
#include "RunLine.h"
#include "toollog/LogSave.h"
#include "ProgressQueue.h"
#include "api/OrvaneSkeldaApi.h"
#include "files/RunGuard.h"
#include "files/TrustedFolder.h"
#include "text/LongPath.h"
#include "text/PathText.h"
#include "text/WideText.h"
#include "win/ProcAddress.h"
#include "win/ProcessToken.h"
#include "win/SystemLibraries.h"
#include "win/Sha256.h"
#include "win/SystemPaths.h"
#include "win/UniqueHandle.h"

namespace {

using collect::Print;

namespace api = engine::api;

enum ExitCode : int {
    kCollected = 0,
    kCollectedNotAllOk = 6,
    kFailed = 1,
    kFolderFailed = 2,
    kEngineProblem = 3,
    kUnsupported = 4,
    kBusy = 5,
    kNotAdministrator = 7,
    kUnsafeLoading = 8,
    kShippedFileRefused = 9,
    kUsage = 64,
};

struct EngineApi {
    api::InitDllFn InitDll = nullptr;
    api::SetWndHandleFn SetWndHandle = nullptr;
    api::GetCurSystemIsSupportFn GetCurSystemIsSupport = nullptr;
    api::SelectSaveSystemInfoFilePositionFn SelectSaveSystemInfoFilePosition = nullptr;
    api::StartGetSystemInfoFn StartGetSystemInfo = nullptr;
    api::RestartSystemFn RestartSystem = nullptr;
    api::SetRunOptionsFn SetRunOptions = nullptr;

    bool Bind(HMODULE engine) {
        InitDll = util::win::ProcAddress<decltype(InitDll)>(engine, "InitDll");
        SetWndHandle = util::win::ProcAddress<decltype(SetWndHandle)>(engine, "SetWndHandle");
        GetCurSystemIsSupport = util::win::ProcAddress<decltype(GetCurSystemIsSupport)>(engine, "GetCurSystemIsSupport");
        SelectSaveSystemInfoFilePosition = util::win::ProcAddress<decltype(SelectSaveSystemInfoFilePosition)>(
            engine, "SelectSaveSystemInfoFilePosition");
        StartGetSystemInfo = util::win::ProcAddress<decltype(StartGetSystemInfo)>(engine, "StartGetSystemInfo");
        RestartSystem = util::win::ProcAddress<decltype(RestartSystem)>(engine, "RestartSystem");
        SetRunOptions = util::win::ProcAddress<decltype(SetRunOptions)>(engine, "SetRunOptions");
        return InitDll && SetWndHandle && GetCurSystemIsSupport && SelectSaveSystemInfoFilePosition &&
               StartGetSystemInfo && RestartSystem && SetRunOptions;
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
    const std::vector<std::pair<std::wstring, int>>& Counts() const { return counts_; }
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
            if (self && msg == api::kResultMessage) {
                self->OnResult(wParam);
                return 0;
            }
            if (self && msg == api::kStepMessage && lParam) {
                self->OnStep(*reinterpret_cast<const api::StepProgress*>(lParam));
                return 0;
            }
        } catch (...) {
            return 0;  // out of memory for a line: the run goes on without it
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    void OnResult(WPARAM code) {
        out_.Line(L"result message " + std::to_wstring(code) + L": " + Describe(code) + L"\n");
        if (code != api::kResultFinished && outcome_ == 0) outcome_ = code;
    }

    void OnStep(const api::StepProgress& step) {
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
            case api::kResultFinished: return L"collection ended";
            case api::kResultSucceeded: return L"收集系统信息成功！ (archive made)";
            case api::kResultFailed: return L"收集系统信息失败！ (a step or the packing failed)";
            case api::kResultFolderFailed: return L"收集系统信息失败！ (a folder could not be created)";
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
// The limits of the command line, and the progress this host prints, handed to the engine
// directly: it takes none from the environment.
bool PassOptions(const EngineApi& api, const collect::Options& options) {
    const std::wstring command = options.commandSeconds ? std::to_wstring(options.commandSeconds) : L"";
    const std::wstring longCommand = options.longCommandSeconds ? std::to_wstring(options.longCommandSeconds) : L"";
    const std::wstring run = options.runSeconds ? std::to_wstring(options.runSeconds) : L"";
    api::RunOptions given{};
    given.size = sizeof(given);
    given.commandSeconds = command.empty() ? nullptr : command.c_str();
    given.longCommandSeconds = longCommand.empty() ? nullptr : longCommand.c_str();
    given.runSeconds = run.empty() ? nullptr : run.c_str();
    given.pool = options.pool.empty() ? nullptr : options.pool.c_str();
    given.progress = 1;
    return api.SetRunOptions(&given) == 1;
}

// A variable the engine set in this process for its host; empty when not set.
std::wstring EngineVariable(const wchar_t* name) {
    const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::vector<wchar_t> value(n);
    const DWORD written = ::GetEnvironmentVariableW(name, value.data(), n);
    return written < n ? std::wstring(value.data(), written) : std::wstring();
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
    switch (util::files::RunGuard::Probe(api::kRunGuardName)) {
        case util::files::GuardState::Acquired:
            Print(L"the engine refused to start a collection\n", STD_ERROR_HANDLE);
            return kEngineProblem;
        case util::files::GuardState::Busy: break;
        case util::files::GuardState::Untrusted:
            Print(L"the machine-wide guard of collections was made by someone who is not an administrator\n",
                  STD_ERROR_HANDLE);
            break;
        case util::files::GuardState::Unavailable:
            Print(L"the machine-wide guard of collections cannot be had\n", STD_ERROR_HANDLE);
            break;
    }
    Print(L"another collection is running on this machine; try again when it has ended\n", STD_ERROR_HANDLE);
    return kBusy;
}

int Run(const collect::Options& options, collect::RunLineFacts& facts) {
    // The engine writes the tool log and holds the machine-wide guard as an administrator;
    // without the rights it could do neither safely.
    if (!options.info && !util::win::ProcessIsAdministrator()) {
        Print(L"需要管理员权限 (this program needs administrator rights: run it from an elevated prompt)\n",
              STD_ERROR_HANDLE);
        return kNotAdministrator;
    }
    // Elevated, the engine and the packers run from a clean room of their own, never from this
    // program's folder, which the user may write. Unelevated (--info) nothing runs with rights
    // the user lacks, and the engine beside the program is loaded as it is.
    const std::wstring programFolder = util::win::ModuleFolderOf(reinterpret_cast<const void*>(&GuardRefusal));
    cleanroom::CleanStart start;
    std::wstring engineFolder = programFolder;
    if (util::win::ProcessIsAdministrator()) {
        std::wstring why;
        std::wstring folder = programFolder;
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        const cleanroom::StartFault fault =
            start.Begin(cleanroom::RoomParent(), folder, cleanroom::ShippedFilesFor(cleanroom::Starter::ConsoleHost, util::win::Is64BitWindows()),
                        {util::files::MachineTrustedOwners(), {}}, why);
        if (fault != cleanroom::StartFault::None) {
            Print(L"refused: " + cleanroom::FaultText(fault) + (why.empty() ? L"" : L": " + why) + L"\n", STD_ERROR_HANDLE);
            return kShippedFileRefused;
        }
        engineFolder = start.Folder() + L"\\";
    }
    const std::wstring enginePath = engineFolder + api::kEngineFileName;
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
    if (!start.Folder().empty()) out.Line(L"clean room: " + start.Folder() + L"\n");
    ResultWindow window(options.quiet, out);
    if (!window.Create() || !api.SetWndHandle(window.Handle())) {
        Print(L"cannot create the result window\n", STD_ERROR_HANDLE);
        return kEngineProblem;
    }
    const bool supported = api.GetCurSystemIsSupport() != 0;
    if (options.info) {
        Print(L"engine: " + enginePath + L"\n");
        Print(std::wstring(L"system supported: ") + (supported ? L"yes" : L"no (此工具不支持当前系统)") + L"\n");
        Print(std::wstring(L"64-bit Windows: ") +
              (util::win::Is64BitWindows() ? L"yes, packer " + std::wstring(api::kPackerX64)
                                           : L"no, packer " + std::wstring(api::kPackerX86)) +
              L"\n");
        return supported ? kCollected : kUnsupported;
    }
    if (!supported) {
        Print(L"此工具不支持当前系统 (this system is not supported)\n", STD_ERROR_HANDLE);
        return kUnsupported;
    }
    api.InitDll();

    const std::wstring given = options.archivePath.empty() ? api::kDefaultArchiveName : options.archivePath;
    const std::wstring full = util::win::FullPathOf(given);
    const std::wstring requested = full.empty() ? given : full;
    PassOptions(api, options);
    // The engine judges the same folder and file by the same rules.
    const std::wstring distrust = CLogSave::Instance().Distrust();
    if (!distrust.empty()) Print(distrust + L"\n", STD_ERROR_HANDLE);
    if (!api.StartGetSystemInfo(requested.c_str(), options.switches.data())) {
        out.Finish(collect::ConsoleWriter::kDrainMs);
        return GuardRefusal();
    }
    // The target as the engine took it: absolute, ".7z" added where the name had none.
    const std::wstring target = EngineVariable(api::kArchiveVariable);
    out.Line(L"collecting into " + (target.empty() ? requested : target) + L"\n");
    PumpUntil([&] { return window.Outcome() != 0; });
    // The workers keep the engine loaded until they have ended; once ours is the only
    // reference left and it is released, the module goes away with the last worker. Until
    // then later result pairs (one per failing worker) are still received and printed.
    ::FreeLibrary(engine);
    PumpUntil([&] { return ::GetModuleHandleW(enginePath.c_str()) == nullptr; });
    out.Line(window.Summary() + L"\n");
    facts.steps = window.Counts();
    if (const std::size_t dropped = out.Dropped())
        out.Line(L"progress lines dropped (the console did not take them): " + std::to_wstring(dropped) + L"\n");
    switch (window.Outcome()) {
        case api::kResultSucceeded: {
            const std::wstring archive = EngineVariable(api::kArchiveVariable);
            facts.archive = archive;
            out.Line(L"archive: " + archive + L"\n");
            if (!target.empty() && archive != target)
                out.Line(L"the earlier archive at " + target + L" could not be replaced (open in another program, or "
                      L"read-only); the new archive was kept beside it under the name above\n");
            facts.problems = EngineVariable(api::kProblemCountsVariable);
            if (!facts.problems.empty())
                out.Line(L"summary: " + std::wstring(api::kSummaryHtmlName) + L" and " + api::kSummaryTextName +
                         L" in the archive (problems: " + util::text::ReplaceAll(facts.problems, L";", L", ") + L")\n");
            const std::wstring lacks = EngineVariable(api::kArchiveLacksVariable);
            facts.lacks = lacks;
            if (!lacks.empty())
                out.Line(L"the archive is not complete (" + lacks + L"): see " + api::kArchiveCheckName +
                      L" in the archive\n");
            if (window.StepsNotOk() == 0 && lacks.empty()) return kCollected;
            if (window.StepsNotOk() != 0) out.Line(L"some steps did not end ok: see " + std::wstring(api::kReportTextName) + L" in the archive\n");
            return kCollectedNotAllOk;
        }
        case api::kResultFolderFailed: {
            const std::wstring problem = EngineVariable(api::kFolderProblemVariable);
            if (!problem.empty()) Print(L"nothing was collected: " + problem + L"\n", STD_ERROR_HANDLE);
            return kFolderFailed;
        }
        default: {
            const std::wstring kept = EngineVariable(api::kKeptVariable);
            facts.kept = kept;
            if (!kept.empty())
                Print(L"nothing could be packed; what was collected is kept in " + kept + L"\n", STD_ERROR_HANDLE);
            return kFailed;
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Libraries come from the system folder or by full path, never from the current folder or
    // this program's; a .local beside the program would redirect even those.
    const bool narrowed = util::win::RestrictLibrarySearch();
    const cleanroom::StartFault fault =
        cleanroom::JudgeLoading(narrowed, cleanroom::DotLocalBeside(util::win::ProgramPath()));
    if (fault != cleanroom::StartFault::None) {
        Print(L"refused: " + cleanroom::FaultText(fault) + L"\n", STD_ERROR_HANDLE);
        return kUnsafeLoading;
    }
    std::vector<std::wstring> args(argv + 1, argv + argc);
    collect::Options options;
    const std::wstring error = collect::ParseOptions(args, options);
    if (!error.empty()) {
        Print(error + L"\n" + collect::UsageText(), STD_ERROR_HANDLE);
        return kUsage;
    }
    const ULONGLONG started = ::GetTickCount64();
    collect::RunLineFacts facts;
    const int rc = Run(options, facts);
    if (options.json) {
        facts.exitCode = rc;
        facts.seconds = (::GetTickCount64() - started) / 1000.0;
        if (!facts.archive.empty()) {
            util::win::UniqueHandle archive(::CreateFileW(util::text::LongPath(facts.archive).c_str(), GENERIC_READ,
                                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            LARGE_INTEGER size{};
            if (archive && ::GetFileSizeEx(archive.Get(), &size)) facts.archiveBytes = size.QuadPart;
            if (archive) facts.archiveSha256 = util::win::Sha256OfFile(archive.Get());
        }
        // The last line, after everything the writer printed.
        Print(util::text::Widen(collect::RunLine(facts), CP_UTF8) + L"\n");
    }
    return rc;
}
