// The low-level mouse hook and its two exports.
#include "OrvaneMouseHook.h"

#include <atomic>

#include "win/UniqueHandle.h"

namespace {

HMODULE g_module = nullptr;
util::win::CriticalSection g_lock;  // start and stop; the hook procedure reads only g_target
HHOOK g_hook = nullptr;
std::atomic<HWND> g_target{nullptr};

bool IsButtonPress(WPARAM message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

// Runs on the thread that installed the hook, inside its message retrieval; it must be quick.
LRESULT CALLBACK LowLevelMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && IsButtonPress(wParam)) {
        const HWND target = g_target.load();
        if (target) {
            const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
            const LPARAM point = MAKELPARAM(static_cast<WORD>(info->pt.x), static_cast<WORD>(info->pt.y));
            ::PostMessageW(target, WM_MOUSEHOOK_CLICK, wParam, point);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Reports already posted would arrive after the stop; only the window's own thread can take them back.
void DropQueuedReports(HWND target) {
    if (!target || !::IsWindow(target)) return;
    if (::GetWindowThreadProcessId(target, nullptr) != ::GetCurrentThreadId()) return;
    MSG msg;
    while (::PeekMessageW(&msg, target, WM_MOUSEHOOK_CLICK, WM_MOUSEHOOK_CLICK, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    }
}

}  // namespace

extern "C" int __cdecl StartHookMouse(HWND window) {
    if (!window || !::IsWindow(window)) return 0;
    util::win::CriticalSectionLock lock(g_lock.Native());
    g_target.store(window);
    if (g_hook) return 1;
    g_hook = ::SetWindowsHookExW(WH_MOUSE_LL, LowLevelMouse, g_module, 0);
    if (!g_hook) {
        g_target.store(nullptr);
        return 0;
    }
    return 1;
}

extern "C" int __cdecl StopHookMouse() {
    util::win::CriticalSectionLock lock(g_lock.Native());
    const HWND target = g_target.exchange(nullptr);
    if (!g_hook) return 0;
    ::UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    DropQueuedReports(target);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr && g_hook) {
        // Unloaded while running: the hook procedure is about to go away with the code.
        g_target.store(nullptr);
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    return TRUE;
}
