// Shows every skinned control with the program's artwork: run it under Wine and look, or take
// a screenshot. Usage: SkeldaGallery [seconds]  (ends by itself after that many seconds).
#include <windows.h>
#include <commctrl.h>
#include <cwchar>
#include "Gallery.h"
#include "resource.h"

namespace {

// Places a pair: the host's move carries its child along.
void Place(CSkinHostDlg& host, int x, int y) {
    host.ShowWindow(SW_SHOWNOACTIVATE);
    ::SetWindowPos(host.m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::LoadLibraryW(L"riched20.dll");
    ui::GdiplusSession gdiplus;
    const int seconds = commandLine && *commandLine ? _wtoi(commandLine) : 0;
    {
        // Hosts at scale 1; their children follow them while the follow flag is set.
        CGalleryHost main(IDD_TAVLINSKELDA_DIALOG,
                          skin::HostFrame{{810, 611}, IDB_MAIN_FRAME, {5, 4, 10, 11}, {5, 4, 5, 7}, false, 1},
                          [] { return std::make_unique<CGalleryMainChild>(); });
        CGalleryHost progress(IDD_EXECUTE_PROMPT,
                              skin::HostFrame{{232, 132}, IDB_EXECUTE_FRAME, {14, 12, 28, 28}, {14, 12, 14, 16}, false, 1},
                              [] { return std::make_unique<CGalleryProgressChild>(); });
        CGalleryHost usage(IDD_USAGE,
                           skin::HostFrame{{610, 461}, IDB_USAGE_FRAME, {5, 4, 10, 11}, {5, 4, 5, 7}, false, 1},
                           [] { return std::make_unique<CGalleryUsageChild>(); });
        CGalleryHost terms(IDD_TOOLTIP,
                           skin::HostFrame{{504, 322}, IDB_TOOLTIP_FRAME, {1, 1, 3, 19}, {1, 1, 2, 18}, false, 1},
                           [] { return std::make_unique<CGalleryTermsChild>(); });
        main.Create(IDD_TAVLINSKELDA_DIALOG, static_cast<HWND>(nullptr));
        progress.Create(IDD_EXECUTE_PROMPT, static_cast<HWND>(nullptr));
        usage.Create(IDD_USAGE, static_cast<HWND>(nullptr));
        terms.Create(IDD_TOOLTIP, static_cast<HWND>(nullptr));
        Place(main, 10, 10);
        Place(progress, 840, 10);
        Place(usage, 840, 160);
        Place(terms, 10, 640);

        if (seconds > 0) ::SetTimer(nullptr, 1, static_cast<UINT>(seconds) * 1000, nullptr);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (!main.m_hWnd) break;
        }
        for (CSkinHostDlg* host : std::initializer_list<CSkinHostDlg*>{&terms, &usage, &progress, &main})
            if (host->m_hWnd) host->DestroyWindow();
    }
    return 0;
}
