// The Windows version as the process environment block holds it.
#include <gtest/gtest.h>

#include <windows.h>

#include "win/ProcAddress.h"
#include "win/WindowsVersion.h"

namespace {

TEST(WindowsVersionTest, TheEnvironmentBlockAgreesWithTheSystem) {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtlGetVersion = util::win::ProcAddress<RtlGetVersionFn>(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    rtlGetVersion(&info);

    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    util::win::ReadPebOsVersion(major, minor, &build);
    EXPECT_EQ(major, info.dwMajorVersion);
    EXPECT_EQ(minor, info.dwMinorVersion);
    EXPECT_EQ(build, info.dwBuildNumber);
    EXPECT_EQ(util::win::OsVersionCodeOf(major, minor), util::win::OS_WIN10);  // the test prefixes
}

}  // namespace
