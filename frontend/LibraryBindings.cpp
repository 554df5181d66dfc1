#include "LibraryBindings.h"

#include <vector>

#include "FrontendTexts.h"
#include "win/ProcAddress.h"
#include "win/SystemPaths.h"
#include "PromptDlg.h"

using util::win::ProcAddress;

namespace {

// Stores the export into slot and tells whether it was found.
template <typename F>
bool Find(HMODULE module, const char* name, F& slot) {
    slot = ProcAddress<F>(module, name);
    return slot != nullptr;
}

void EndWithExitProcess(UINT code) { ::ExitProcess(code); }
frontend::ProcessEnd g_processEnd = EndWithExitProcess;

}  // namespace

// ---- records ----

bool CEngineDll::FindExports() {
    return Find(module, "InitDll", init) && Find(module, "SetWndHandle", setWindow) &&
           Find(module, "GetCurSystemIsSupport", isSupported) &&
           Find(module, "SelectSaveSystemInfoFilePosition", selectSaveLocation) &&
           Find(module, "StartGetSystemInfo", start) && Find(module, "RestartSystem", restart);
}

bool CMouseHookDll::FindExports() {
    return Find(module, "StartHookMouse", startHook) && Find(module, "StopHookMouse", stopHook);
}

bool CFeedbackDll::FindExports() {
    return Find(module, "FeedbackQuestion", question) && Find(module, "OpenUrl", openUrl) &&
           Find(module, "GetInterNetState", netState) && Find(module, "CustomerFeedback", feedback) &&
           Find(module, "CustomerFeedbackEx", feedbackEx) &&
           Find(module, "WriteCustomerFeedbackInfoFile", writeFeedbackFile) &&
           Find(module, "GetToolIsNewVersion", newVersion) && Find(module, "OpenToolDownUrl", openDownloadUrl);
}

// ---- start-up ----

namespace frontend {

std::wstring ProgramPath() { return util::win::ProgramPath(); }

std::wstring ProgramFolder() {
    const std::wstring path = ProgramPath();
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void SetProcessEnd(ProcessEnd end) { g_processEnd = end ? end : EndWithExitProcess; }

void FailStart(float scale, const wchar_t* text) {
    ShowPrompt(nullptr, scale, PROMPT_CONFIRM, text);
    g_processEnd(0);
}

bool BindMainLibraries(HWND dialog, float scale, const std::wstring& folder, CEngineDll& engine,
                       CFeedbackDll& feedback) {
    const wchar_t* failure = nullptr;
    if (!engine.LoadFrom(folder))
        failure = texts::kToolInitFailed;
    else if (!engine.setWindow(dialog))
        failure = texts::kEngineInitFailed;
    else if (!engine.isSupported())
        failure = texts::kSystemNotSupported;
    else if (!engine.init())
        failure = texts::kEngineInitFailed;
    else if (!feedback.LoadFrom(folder))
        failure = texts::kToolInitFailed;
    if (!failure) return true;
    FailStart(scale, failure);
    return false;
}

bool BindUsageLibraries(float scale, const std::wstring& folder, CMouseHookDll& hook, CFeedbackDll& feedback) {
    const wchar_t* failure = nullptr;
    if (!hook.LoadFrom(folder))
        failure = texts::kToolInitFailedHook;
    else if (!feedback.LoadFrom(folder))
        failure = texts::kToolInitFailed;
    if (!failure) return true;
    FailStart(scale, failure);
    return false;
}

}  // namespace frontend
