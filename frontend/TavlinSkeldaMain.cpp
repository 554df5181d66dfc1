// Entry point of TavlinSkelda.
#include <windows.h>

#include "CleanStart.h"
#include "LibraryBindings.h"
#include "StartRefusal.h"
#include "TavlinSkeldaApp.h"
#include "win/SystemLibraries.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // Before anything else can load a library, and before the common controls resolve through
    // the side-by-side store, which a .local beside the program would redirect.
    const bool narrowed = util::win::RestrictLibrarySearch();
    const cleanroom::StartFault fault =
        cleanroom::JudgeLoading(narrowed, cleanroom::DotLocalBeside(frontend::ProgramPath()));
    if (fault != cleanroom::StartFault::None) {
        frontend::ShowLoadingRefusal(frontend::StartFaultText(fault));
        return 1;
    }
    theApp.InitInstance();
    return 0;
}
