#pragma once
// The machine names this process's user as a trusted owner (HKLM\SOFTWARE\OrvaneSkelda,
// TrustedOwners) while the object lives, as the test bed's end-to-end scripts do: Wine reports
// that user as the owner of every file, administrators' files included.
#include <windows.h>

#include <string>

#include "win/ProcessToken.h"

namespace util::testing {

class TrustedUser {
public:
    TrustedUser() {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OrvaneSkelda", 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        std::wstring value = util::win::CurrentUserSid();
        value.push_back(L'\0');
        value.push_back(L'\0');
        set_ = ::RegSetValueExW(key, L"TrustedOwners", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value.data()),
                                static_cast<DWORD>(value.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~TrustedUser() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OrvaneSkelda", 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueW(key, L"TrustedOwners");
            ::RegCloseKey(key);
        }
    }
    TrustedUser(const TrustedUser&) = delete;
    TrustedUser& operator=(const TrustedUser&) = delete;
    bool Set() const { return set_; }

private:
    bool set_ = false;
};

}  // namespace util::testing
