// Entry point of TavlinSkelda.
#include <windows.h>

#include "win/SystemLibraries.h"
#include "TavlinSkeldaApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    util::win::RestrictLibrarySearch();  // before anything else can load a library
    theApp.InitInstance();
    return 0;
}
