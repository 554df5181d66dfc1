#include "SharedFileCopy.h"

#include <windows.h>

#include <vector>

#include "HandleFiles.h"
#include "UniqueHandle.h"

namespace engine {

bool EnableBackupPrivilege() {
    static const bool enabled = [] {
        HANDLE raw = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
        skelda::UniqueHandle token(raw);
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!::LookupPrivilegeValueW(nullptr, SE_BACKUP_NAME, &privileges.Privileges[0].Luid)) return false;
        // AdjustTokenPrivileges succeeds without enabling anything when the token lacks the
        // privilege; only ERROR_SUCCESS afterwards means it is on.
        return ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
               ::GetLastError() == ERROR_SUCCESS;
    }();
    return enabled;
}

namespace {

// Copies what the open file holds to target; on failure nothing is left there.
bool CopyOpenFile(HANDLE in, const std::wstring& target, bool failIfExists, unsigned long& error) {
    skelda::UniqueHandle out(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                           failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) {
        error = ::GetLastError();
        return false;
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            error = ::GetLastError();
            break;
        }
        if (got == 0) {
            FILETIME written{};
            if (::GetFileTime(in, nullptr, nullptr, &written))
                ::SetFileTime(out.Get(), nullptr, nullptr, &written);
            return true;
        }
        DWORD put = 0;
        const bool wrote = ::WriteFile(out.Get(), buffer.data(), got, &put, nullptr) != 0;
        if (!wrote || put != got) {
            error = wrote ? ERROR_DISK_FULL : ::GetLastError();  // a short write sets no error
            break;
        }
    }
    out.Reset();
    ::DeleteFileW(target.c_str());
    return false;
}

}  // namespace

bool CopySharedFile(const std::wstring& source, const std::wstring& target, bool failIfExists, unsigned long& error) {
    skelda::UniqueHandle in(::CreateFileW(source.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr));
    if (!in.Valid()) {
        error = ::GetLastError();
        return false;
    }
    return CopyOpenFile(in.Get(), target, failIfExists, error);
}

bool CopyUserFile(const std::wstring& source, const std::wstring& target, unsigned long& error) {
    skelda::UniqueHandle in = skelda::OpenNoFollow(source, GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!in.Valid()) {
        error = ::GetLastError();
        return false;
    }
    if (!skelda::IsPlainObjectAt(in.Get(), source, false)) {
        error = kLinkRefused;
        return false;
    }
    return CopyOpenFile(in.Get(), target, false, error);
}

}  // namespace engine
