#include "TavlinSkeldaApp.h"

#include <commctrl.h>

#include "GdiPlus.h"
#include "win/SystemLibraries.h"
#include "TavlinSkeldaDlg.h"
#include "UsageArgeementsDlg.h"

CTavlinSkeldaApp theApp;

namespace {

// The rich edit of the terms panel ("RichEdit20W") lives in this system library.
class RichEditLibrary {
public:
    RichEditLibrary() : module_(util::win::LoadSystemLibrary(L"riched20.dll")) {}
    ~RichEditLibrary() {
        if (module_) ::FreeLibrary(module_);
    }
    RichEditLibrary(const RichEditLibrary&) = delete;
    RichEditLibrary& operator=(const RichEditLibrary&) = delete;

private:
    HMODULE module_;
};

}  // namespace

bool CTavlinSkeldaApp::InitInstance() {
    ui::GdiplusSession gdiplus;  // shut down last, after both dialogs are gone
    INITCOMMONCONTROLSEX controls{8, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    RichEditLibrary richEdit;

    bool accepted = false;
    {
        CUsageArgeementsDlg usage;
        accepted = usage.DoModal() == IDOK;
    }
    if (accepted) {
        CTavlinSkeldaDlg main;
        main.DoModal();  // its destruction starts the removal of the program folder
    }
    return false;
}
