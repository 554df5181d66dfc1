#pragma once
// The libraries the dialogs load at run time from the folder they are given (the clean room the
// application copied them into), each as a record of its module and export pointers, and the
// binding sequences the dialogs run at start.
//
// Libraries are loaded by full path only. util::win::RestrictLibrarySearch() keeps the current
// folder and PATH out of every other library search; the application calls it first thing.
#include <windows.h>

#include <string>

#include "api/OrvaneSkeldaApi.h"
#include "../outside/feedback/OrvaneFeedbackInformation.h"
#include "../outside/mousehook/OrvaneMouseHook.h"

namespace frontend {
// The running program's file, and its folder without a trailing backslash.
std::wstring ProgramPath();
std::wstring ProgramFolder();
}  // namespace frontend

// A library's module and its exports (the fields of Exports). Load and LoadFrom fill the
// exports in the record's order and stop at the first one missing; the module then stays
// loaded until Release, or the record's end, frees it.
template <class Record, class Exports>
class CLibraryRecord : public Exports {
public:
    CLibraryRecord() = default;
    ~CLibraryRecord() { Release(); }
    CLibraryRecord(const CLibraryRecord&) = delete;
    CLibraryRecord& operator=(const CLibraryRecord&) = delete;

    // From folder (the clean room, or a test's folder); true when the library loaded and every
    // export was found.
    bool LoadFrom(const std::wstring& folder) {
        Release();
        // By full path only; without a folder the name would mean the current drive's root.
        if (folder.empty()) return false;
        module = ::LoadLibraryW((folder + Record::kFileName).c_str());
        return module && static_cast<Record*>(this)->FindExports();
    }
    // Frees the module (if any) and clears every field.
    void Release() {
        if (module) ::FreeLibrary(module);
        module = nullptr;
        static_cast<Exports&>(*this) = Exports{};
    }

    HMODULE module = nullptr;
};

struct EngineExports {
    using InitFn = engine::api::InitDllFn;
    using SetWindowFn = engine::api::SetWndHandleFn;
    using IsSupportedFn = engine::api::GetCurSystemIsSupportFn;
    using SelectSaveLocationFn = engine::api::SelectSaveSystemInfoFilePositionFn;  // buffer of 1024 units
    using StartFn = engine::api::StartGetSystemInfoFn;                             // archive path, 8 switches
    using RestartFn = engine::api::RestartSystemFn;

    InitFn init = nullptr;
    SetWindowFn setWindow = nullptr;
    IsSupportedFn isSupported = nullptr;
    SelectSaveLocationFn selectSaveLocation = nullptr;
    StartFn start = nullptr;
    RestartFn restart = nullptr;
};

// OrvaneSkelda.dll, owned by the main collection dialog.
class CEngineDll : public CLibraryRecord<CEngineDll, EngineExports> {
public:
    static constexpr wchar_t kFileName[] = L"\\OrvaneSkelda.dll";
    // Looks the exports up in order, stopping at the first one missing (used by LoadFrom).
    bool FindExports();
};

struct MouseHookExports {
    decltype(&::StartHookMouse) startHook = nullptr;
    decltype(&::StopHookMouse) stopHook = nullptr;
};

// OrvaneMouseHook.dll, owned by the usage-terms child.
class CMouseHookDll : public CLibraryRecord<CMouseHookDll, MouseHookExports> {
public:
    static constexpr wchar_t kFileName[] = L"\\OrvaneMouseHook.dll";
    bool FindExports();
};

struct FeedbackExports {
    decltype(&::FeedbackQuestion) question = nullptr;
    decltype(&::OpenUrl) openUrl = nullptr;
    decltype(&::GetInterNetState) netState = nullptr;
    decltype(&::CustomerFeedback) feedback = nullptr;
    decltype(&::CustomerFeedbackEx) feedbackEx = nullptr;
    decltype(&::WriteCustomerFeedbackInfoFile) writeFeedbackFile = nullptr;
    decltype(&::GetToolIsNewVersion) newVersion = nullptr;
    decltype(&::OpenToolDownUrl) openDownloadUrl = nullptr;
};

// OrvaneFeedbackInformation.dll; the usage-terms child and the main dialog each load their own.
class CFeedbackDll : public CLibraryRecord<CFeedbackDll, FeedbackExports> {
public:
    static constexpr wchar_t kFileName[] = L"\\OrvaneFeedbackInformation.dll";
    bool FindExports();
};

namespace frontend {

// The end of the process after a failed binding: ExitProcess unless a test replaced it.
using ProcessEnd = void (*)(UINT exitCode);
void SetProcessEnd(ProcessEnd end);  // null restores ExitProcess

// Shows text in a confirm prompt (no parent) and ends the process with status 0. Returns
// only when a test's process end returns.
void FailStart(float scale, const wchar_t* text);

// The main collection dialog's binding, from its initialisation: the engine, SetWndHandle
// with the dialog's window, the support check, InitDll, then its own feedback library.
// A failing step prompts and ends the process; true when all steps passed.
bool BindMainLibraries(HWND dialog, float scale, const std::wstring& folder, CEngineDll& engine,
                       CFeedbackDll& feedback);

// The usage-terms child's binding: the mouse hook, then its own feedback library.
bool BindUsageLibraries(float scale, const std::wstring& folder, CMouseHookDll& hook, CFeedbackDll& feedback);

}  // namespace frontend
