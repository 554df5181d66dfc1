// A program that only says it was started: copied under the names of the tools the engine runs
// into folders the engine must never start them from. Creates "<its own file>.started" and,
// where the folder C:\skelda-decoy exists, "<its name>.started" there too: that one stays when
// the folder it was started from goes.
#include <windows.h>

#include "DecoyMark.h"

int wmain() {
    wchar_t path[MAX_PATH + 16] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    if (::GetFileAttributesW(L"C:\\skelda-decoy") != INVALID_FILE_ATTRIBUTES) MarkInDecoyFolder(path, L".started");
    lstrcatW(path, L".started");
    HANDLE marker = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    return 0;
}
