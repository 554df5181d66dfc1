#pragma once
// The engine library's binary interface, as its hosts (the program, the console host) and the
// tests see it: the six exports, the result message and its codes, the switch record, and the
// name of the guard that one collection holds machine-wide.
#include <windows.h>

namespace orvane {

// Plain C exports, found by these names.
using InitDllFn = int(__cdecl*)();
using SetWndHandleFn = int(__cdecl*)(HWND window);
using GetCurSystemIsSupportFn = int(__cdecl*)();
using SelectSaveSystemInfoFilePositionFn = int(__cdecl*)(HWND owner, wchar_t* buffer);
using StartGetSystemInfoFn = int(__cdecl*)(const wchar_t* archivePath, const int* switches);
using RestartSystemFn = int(__cdecl*)();

// The message sent to the registered window, always as a pair: first wParam 100 (the run is
// over), then 1 (archive made), 2 (failure) or 3 (a folder could not be created).
constexpr UINT kResultMessage = WM_USER + 0x219;
enum Result : WPARAM {
    kResultSucceeded = 1,
    kResultFailed = 2,
    kResultFolderFailed = 3,
    kResultFinished = 100,
};

// The switch record: one int per category, 1 to collect it, in this order.
constexpr int kCategoryCount = 8;

// Held machine-wide while a collection runs; a second start anywhere is refused meanwhile.
constexpr const wchar_t* kRunGuardName = L"Global\\OrvaneSkeldaCollection";

}  // namespace orvane
