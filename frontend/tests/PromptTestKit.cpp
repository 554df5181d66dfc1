#include "PromptTestKit.h"

#include <string>
#include <utility>

#include "Wnd.h"

namespace prompttest {

namespace {
std::function<void()>& Pending() {
    static std::function<void()> pending;
    return pending;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    std::function<void()> act = std::move(Pending());
    Pending() = nullptr;
    if (act) act();
}
}  // namespace

void AfterDelay(DWORD delayMs, std::function<void()> act) {
    Pending() = std::move(act);
    ::SetTimer(nullptr, 0, delayMs, OnTimer);
}

void PostClick(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

std::wstring TextOf(HWND wnd) {
    wchar_t buffer[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
    return buffer;
}

}  // namespace prompttest
