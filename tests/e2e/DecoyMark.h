#pragma once
// The marker a decoy leaves in "C:\skelda-decoy": "<its file name><suffix>", holding the path it
// ran from. That folder stays when the folder the decoy ran from goes (a clean room).
#include <windows.h>

inline void MarkInDecoyFolder(const wchar_t* path, const wchar_t* suffix) {
    const wchar_t* name = path;
    for (const wchar_t* at = path; *at; ++at)
        if (*at == L'\\') name = at + 1;
    wchar_t marker[MAX_PATH + 64] = L"C:\\skelda-decoy\\";
    lstrcatW(marker, name);
    lstrcatW(marker, suffix);
    HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, path, static_cast<DWORD>(lstrlenW(path) * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
}
