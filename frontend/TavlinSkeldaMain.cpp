// Entry point of TavlinSkelda.
#include <windows.h>

#include "LibraryBindings.h"
#include "TavlinSkeldaApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    frontend::RestrictLibrarySearch();  // before anything else can load a library
    theApp.InitInstance();
    return 0;
}
