#pragma once
// The engine library's binary interface, as its hosts (the program, the console host) and the
// tests see it: the seven exports, the result message and its codes, the switch record, the
// names of what a run leaves for its host, and the name of the guard that one collection holds
// machine-wide. The hosts include nothing else of the engine.
#include <windows.h>

namespace engine::api {

// The engine's file, beside its host.
constexpr const wchar_t* kEngineFileName = L"OrvaneSkelda.dll";

// Plain C exports, found by these names.
using InitDllFn = int(__cdecl*)();
using SetWndHandleFn = int(__cdecl*)(HWND window);
using GetCurSystemIsSupportFn = int(__cdecl*)();
using SelectSaveSystemInfoFilePositionFn = int(__cdecl*)(HWND owner, wchar_t* buffer);
using StartGetSystemInfoFn = int(__cdecl*)(const wchar_t* archivePath, const int* switches);
using RestartSystemFn = int(__cdecl*)();

// What only the console host gives, from its command line, before StartGetSystemInfo: each
// holds for the runs this library starts from then on. The engine takes no limit or option from
// its environment, which any process of the user can write (HKCU\Environment).
struct RunOptions {
    DWORD size;                     // sizeof(RunOptions)
    // Whole seconds from 1 to 86400, over the settings file; null where not given.
    const wchar_t* commandSeconds;
    const wchar_t* longCommandSeconds;
    const wchar_t* runSeconds;
    const wchar_t* pool;            // children at once, 1 to 64, or "per-worker"; null where not given
    int progress;                   // 1: kStepMessage after each step
};
// 0 for a null or short record.
using SetRunOptionsFn = int(__cdecl*)(const RunOptions* options);
// How the run's report names limits that SetRunOptions gave.
constexpr const wchar_t* kRunOptionsSource = L"console host";

// The message sent to the registered window, always as a pair: first wParam 100 (the run is
// over), then 1 (archive made), 2 (failure) or 3 (a folder could not be created).
constexpr UINT kResultMessage = WM_USER + 0x219;
enum Result : WPARAM {
    kResultSucceeded = 1,
    kResultFailed = 2,
    kResultFolderFailed = 3,
    kResultFinished = 100,
};

// Progress, for a host that asks for it (RunOptions::progress) before the run starts: after each step the engine sends (SendMessage) kStepMessage to the
// registered window, wParam 0, lParam a const StepProgress* valid only during the call.
constexpr UINT kStepMessage = WM_USER + 0x21A;
struct StepProgress {
    int done;                // steps ended so far, this one included
    int planned;             // steps known so far (grows once the event-log listing is in)
    const wchar_t* outcome;  // "ok", "failed", "timed-out", "skipped", "not-found" or "partial"
    DWORD durationMs;
    const wchar_t* what;     // the command line, or what was copied
};

// What the pair cannot say. The engine runs in its host's process and sets these variables
// in that process's environment; a host reads them once it has the pair.
// Where the archive is: at the start the target as the engine resolved it (absolute, ".7z"
// added where the name had no extension); before the success pair, where the finished
// archive is, which is beside the target under "<name> (<date time>).7z" when the target
// could not be replaced (held open, read-only).
constexpr const wchar_t* kArchiveVariable = L"ORVANE_SKELDA_ARCHIVE";
// Before the success pair, when the archive lacks something (the packer warned, a file is
// missing from it, a file was still open when packing began): one line that says what; the
// archive then holds kArchiveCheckName. Not set otherwise.
constexpr const wchar_t* kArchiveLacksVariable = L"ORVANE_SKELDA_ARCHIVE_LACKS";
// Before a folder-failure pair: why, in words.
constexpr const wchar_t* kFolderProblemVariable = L"ORVANE_SKELDA_FOLDER_PROBLEM";
// Once the run is over, when what was collected could not be packed and was kept instead:
// the folder that holds it (administrators may change it, the user may read it). A later run
// that makes its archive removes it.
constexpr const wchar_t* kKeptVariable = L"ORVANE_SKELDA_KEPT";
// Before the success pair, where the archive holds the summary: its problem counts as
// "name=count;…", "-" for a count the summary could not make ("disks_low=0;error_events=-").
constexpr const wchar_t* kProblemCountsVariable = L"ORVANE_SKELDA_PROBLEMS";

// The switch record: one int per category, 1 to collect it, in this order.
constexpr int kCategoryCount = 8;

// The archive's default file name, and the files of the archive's root that say how the run
// went and what the archive lacks.
constexpr const wchar_t* kDefaultArchiveName = L"信息收集.7z";
constexpr const wchar_t* kReportTextName = L"收集报告.txt";
constexpr const wchar_t* kReportJsonName = L"collection-report.json";
constexpr const wchar_t* kArchiveCheckName = L"archive-check.txt";
// The summary an engineer reads first: problems, then the machine at a glance.
constexpr const wchar_t* kSummaryHtmlName = L"概要.html";
constexpr const wchar_t* kSummaryTextName = L"概要.txt";

// The packers beside the engine: the x64 one on 64-bit Windows (a 64-bit process, or a 32-bit
// one that WOW64 runs), the x86 one otherwise.
constexpr const wchar_t* kPackerX64 = L"7z\\x64\\7zx64.exe";
constexpr const wchar_t* kPackerX86 = L"7z\\x86\\7zx86.exe";

// Held machine-wide while a collection runs; a second start anywhere is refused meanwhile.
constexpr const wchar_t* kRunGuardName = L"Global\\OrvaneSkeldaCollection";

}  // namespace engine::api
