// A library that only says it was loaded, and from where: copied in place of a shipped library
// that must be refused. On load it leaves "<its name>.loaded" in C:\skelda-decoy.
#include <windows.h>

#include "DecoyMark.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(instance, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) MarkInDecoyFolder(path, L".loaded");
    return TRUE;
}
