#include "WebPageOpener.h"

#include <windows.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "FeedbackTexts.h"
#include "VersionFile.h"

namespace outside {
namespace {

// A COM interface pointer released when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return p_; }
    T** Put() { return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// COM for the calling thread, for as long as the object lives, if the thread had none.
class ComForThread {
public:
    ComForThread() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComForThread() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComForThread(const ComForThread&) = delete;
    ComForThread& operator=(const ComForThread&) = delete;

private:
    HRESULT result_;
};

bool ProcessElevated() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
    ::CloseHandle(token);
    return elevated;
}

// The desktop window's shell view, asked for the shell's automation object, which runs the
// verb in the desktop's process (explorer) with that process's rights.
bool OpenThroughDesktop(const std::wstring& url) {
    ComForThread com;
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  windows.PutVoid())))
        return false;
    VARIANT location{};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT empty{};
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH, desktop.Put()) != S_OK ||
        !desktop)
        return false;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.PutVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid())) ||
        FAILED(browser->QueryActiveShellView(view.Put())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.PutVoid())) ||
        FAILED(folderView->get_Application(application.Put())) ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.PutVoid())))
        return false;
    BSTR file = ::SysAllocString(url.c_str());
    BSTR verb = ::SysAllocString(L"open");
    if (!file || !verb) {
        ::SysFreeString(file);
        ::SysFreeString(verb);
        return false;
    }
    VARIANT none{};
    VARIANT operation{};
    operation.vt = VT_BSTR;
    operation.bstrVal = verb;
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    const HRESULT result = shell->ShellExecute(file, none, none, operation, show);
    ::SysFreeString(file);
    ::SysFreeString(verb);
    return SUCCEEDED(result);
}

bool OpenHere(const std::wstring& url) {
    // The shell may hand the address over through COM; the caller's thread may not have it yet.
    ComForThread com;
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void TellNotOpened(const std::wstring& url) {
    const std::wstring text = std::wstring(texts::kPageNotOpened) + L"\r\n\r\n" + url;
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), texts::kPageNotOpenedTitle,
                  MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

}  // namespace

const ShellRoutes& SystemShellRoutes() {
    static const ShellRoutes routes{ProcessElevated, OpenThroughDesktop, OpenHere, TellNotOpened};
    return routes;
}

int OpenWebPage(const std::wstring& url, const ShellRoutes& routes) {
    if (!IsWebAddress(url)) return 0;
    if (!routes.processElevated()) return routes.openHere(url) ? 1 : 0;
    if (routes.openThroughDesktop(url)) return 1;
    routes.tellNotOpened(url);
    return 0;
}

}  // namespace outside
