#pragma once
// A message-only window that collects an engine's result messages, for tests that run
// collections in this process.
#include <windows.h>

#include <vector>

#include "api/OrvaneSkeldaApi.h"

namespace engine::testing {

class ResultReceiver {
public:
    ResultReceiver() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ResultReceiver::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkeldaTestResultReceiver";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    }
    ~ResultReceiver() { ::DestroyWindow(hwnd_); }
    ResultReceiver(const ResultReceiver&) = delete;
    ResultReceiver& operator=(const ResultReceiver&) = delete;

    HWND Handle() const { return hwnd_; }
    const std::vector<WPARAM>& Results() const { return results_; }

    // Handles messages until done() holds or about a minute has passed; done()'s last answer.
    template <typename Done>
    bool PumpUntil(Done done) {
        for (int i = 0; i < 600 && !done(); ++i) Pump(100);
        return done();
    }
    static void Pump(DWORD ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ResultReceiver*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == engine::api::kResultMessage) {
            self->results_.push_back(wParam);
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HWND hwnd_;
    std::vector<WPARAM> results_;
};

}  // namespace engine::testing
