// Holds a file open without sharing, as the servicing stack holds CBS.log, until told to let go.
//   HoldFile <file> <ready marker> <release marker>
// Writes the ready marker once the file is held; ends when the release marker appears (two
// minutes at most). Exit 1 when the file cannot be opened.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 64;
    HANDLE held = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) ::CloseHandle(ready);
    for (int i = 0; i < 1200 && ::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
    ::CloseHandle(held);
    return 0;
}
