#pragma once
// Helpers of the front-end window tests: acting on a dialog from inside its modal loop,
// clicking real controls through the message queue. Pumping: WindowTestKit.h of the skin.
#include <windows.h>

#include <functional>
#include <string>

namespace prompttest {

// Calls act once, from a thread timer, after about delayMs of the next message loop.
void AfterDelay(DWORD delayMs, std::function<void()> act);
// A left click posted to the control at its centre (press, then release).
void PostClick(HWND control);
// The control's text, also for windows of another process.
std::wstring TextOf(HWND wnd);

}  // namespace prompttest
