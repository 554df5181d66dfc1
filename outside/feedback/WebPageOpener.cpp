#include "WebPageOpener.h"

#include <windows.h>
#include <shellapi.h>

#include "win/Com.h"
#include "win/DesktopShell.h"
#include "win/ProcessToken.h"

#include "FeedbackTexts.h"
#include "VersionFile.h"

namespace outside {
namespace {

bool OpenThroughDesktop(const std::wstring& url) {
    return util::win::ExecuteThroughDesktop(url, L"", L"", SW_SHOWNORMAL);
}

bool OpenHere(const std::wstring& url) {
    // The shell may hand the address over through COM; the caller's thread may not have it yet.
    util::win::ComForThread com;
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
    static const ShellRoutes routes{util::win::ProcessIsElevated, OpenThroughDesktop, OpenHere, TellNotOpened};
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
