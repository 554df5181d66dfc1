#include "win/DesktopShell.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "win/Com.h"

namespace util::win {

namespace {

// The desktop window's shell view, asked for the shell's automation object, which runs the
// verb in the desktop's process (explorer) with that process's rights.
bool Execute(const std::wstring& fileText, const std::wstring& arguments, const std::wstring& folder, int showCommand) {
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
    BSTR file = ::SysAllocString(fileText.c_str());
    BSTR verb = ::SysAllocString(L"open");
    BSTR args = arguments.empty() ? nullptr : ::SysAllocString(arguments.c_str());
    BSTR dir = folder.empty() ? nullptr : ::SysAllocString(folder.c_str());
    HRESULT result = E_OUTOFMEMORY;
    if (file && verb && (arguments.empty() || args) && (folder.empty() || dir)) {
        VARIANT argumentsValue{};
        VARIANT folderValue{};
        if (args) {
            argumentsValue.vt = VT_BSTR;
            argumentsValue.bstrVal = args;
        }
        if (dir) {
            folderValue.vt = VT_BSTR;
            folderValue.bstrVal = dir;
        }
        VARIANT operation{};
        operation.vt = VT_BSTR;
        operation.bstrVal = verb;
        VARIANT show{};
        show.vt = VT_I4;
        show.lVal = showCommand;
        result = shell->ShellExecute(file, argumentsValue, folderValue, operation, show);
    }
    ::SysFreeString(file);
    ::SysFreeString(verb);
    ::SysFreeString(args);
    ::SysFreeString(dir);
    return SUCCEEDED(result);
}

}  // namespace

bool ExecuteThroughDesktop(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                           int show) {
    return Execute(file, arguments, folder, show);
}

}  // namespace util::win
