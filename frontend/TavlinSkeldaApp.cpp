#include "TavlinSkeldaApp.h"

#include <commctrl.h>

#include "CleanStart.h"
#include "GdiPlus.h"
#include "LibraryBindings.h"
#include "StartRefusal.h"
#include "TavlinSkeldaDlg.h"
#include "UsageArgeementsDlg.h"
#include "files/TrustedFolder.h"
#include "SkinScale.h"
#include "win/SystemLibraries.h"
#include "win/SystemPaths.h"

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

    // The libraries and packers run from a room of their own, never from the program's folder.
    // It goes when the dialogs, and the libraries they loaded from it, are gone.
    cleanroom::CleanStart start;
    std::wstring why;
    const cleanroom::StartFault fault =
        start.Begin(cleanroom::RoomParent(), frontend::ProgramFolder(),
                    cleanroom::ShippedFilesFor(cleanroom::Starter::Program, util::win::Is64BitWindows()), {util::files::MachineTrustedOwners(), {}}, why);
    if (fault != cleanroom::StartFault::None) {
        frontend::FailStart(skin::ScreenDisplayScale(), frontend::StartFaultText(fault));
        return false;
    }

    bool accepted = false;
    {
        CUsageArgeementsDlg usage(start.Folder());
        accepted = usage.DoModal() == IDOK;
    }
    if (accepted) {
        CTavlinSkeldaDlg main(start.Folder());
        main.DoModal();  // its destruction starts the removal of the program folder
    }
    return false;
}
