#pragma once
// The application object: runs the usage terms and, once they are accepted, the main window.
#include <windows.h>

class CTavlinSkeldaApp {
public:
    // Everything the program does. Returns false: there is no message loop to run afterwards.
    bool InitInstance();
};

extern CTavlinSkeldaApp theApp;
