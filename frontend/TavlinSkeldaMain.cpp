// Entry point of TavlinSkelda.
#include <windows.h>

#include "SystemLibraries.h"
#include "TavlinSkeldaApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    skelda::RestrictLibrarySearch();  // before anything else can load a library
    theApp.InitInstance();
    return 0;
}
