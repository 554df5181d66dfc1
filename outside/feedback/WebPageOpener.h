#pragma once
// Opening web pages with the user's normal rights. The program runs elevated; a browser it
// started itself would run as administrator. An elevated process hands the page to the
// desktop's own shell process instead, and opens nothing when that cannot be done.
#include <string>

namespace outside {

// The system calls the decision needs; tests put recorders in their place.
struct ShellRoutes {
    bool (*processElevated)();
    bool (*openThroughDesktop)(const std::wstring& url);  // the desktop's shell process opens it
    bool (*openHere)(const std::wstring& url);            // this process's own shell call
    void (*tellNotOpened)(const std::wstring& url);       // says the page was not opened, and where it is
};

// The real ones.
const ShellRoutes& SystemShellRoutes();

// Opens an http:// or https:// address: from this process when it is not elevated, else only
// through the desktop's shell; when that fails the user is told and nothing runs elevated.
// 1 when a page was opened, 0 otherwise.
int OpenWebPage(const std::wstring& url, const ShellRoutes& routes);

}  // namespace outside
