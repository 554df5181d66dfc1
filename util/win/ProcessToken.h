#pragma once
// What this process's token says of the user it runs for, and the privileges it turns on.
#include <string>

namespace util::win {

// The string SID of this process's token user; empty when it cannot be read.
std::wstring CurrentUserSid();

// True when this process's token has the Administrators group enabled: elevated, or run by
// SYSTEM. A filtered (not elevated) administrator's token holds the group for denying only.
bool ProcessIsAdministrator();

// True when this process runs elevated (a full administrator token, or an unfiltered one).
bool ProcessIsElevated();

// Enables a privilege of this process's token ("SeBackupPrivilege", ...). false where the token
// lacks it: AdjustTokenPrivileges then succeeds without enabling anything, so only
// ERROR_SUCCESS afterwards counts.
bool EnablePrivilege(const wchar_t* name);

}  // namespace util::win
