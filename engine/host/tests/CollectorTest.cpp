// The collector behind the exports: the Windows it supports, its window, the restart and the
// catalogues.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/Collector.h"
#include "win/WindowsVersion.h"

namespace {

TEST(CollectorTest, EveryKnownWindowsVersionAndItsNeighbours) {
    struct Case { DWORD major, minor; int code; bool supported; };
    const Case cases[] = {
        {5, 0, 3, false}, {5, 1, 4, false}, {5, 2, 5, false}, {6, 0, 6, false},
        {6, 1, 7, true},  {6, 2, 8, true},  {6, 3, 9, true},  {10, 0, 10, true},
        {6, 4, 0, false}, {11, 0, 0, false}, {10, 1, 0, false}, {4, 0, 0, false}, {0, 0, 0, false},
    };
    for (const Case& c : cases) {
        engine::host::Collector collector;
        EXPECT_EQ(collector.CheckOsVersion(c.major, c.minor), c.supported ? 1 : 0) << c.major << "." << c.minor;
        EXPECT_EQ(collector.OsVersion(), c.code) << c.major << "." << c.minor;
    }
}

TEST(CollectorTest, TheTestPrefixesAreASupportedWindows10) {
    engine::host::Collector collector;
    EXPECT_EQ(collector.GetCurSystemIsSupport(), 1);  // the test prefixes report Windows 10
    EXPECT_EQ(collector.OsVersion(), util::win::OS_WIN10);
}



TEST(CollectorTest, NullWindowIsRefusedAndTheEarlierOneStays) {
    engine::host::Collector collector;
    HWND first = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(collector.SetWndHandle(first), 1);
    EXPECT_EQ(collector.SetWndHandle(nullptr), 0);
    EXPECT_EQ(collector.NotifyWindow(), first);
}

UINT g_exitFlags = 0xFFFF;
BOOL WINAPI RecordExitWindows(UINT flags, DWORD) {
    g_exitFlags = flags;
    return TRUE;
}

TEST(CollectorTest, RestartSystemAsksForARebootWithoutForcingApplications) {
    engine::host::Collector collector;
    collector.SetExitWindowsForTesting(&RecordExitWindows);
    EXPECT_EQ(collector.RestartSystem(), 1);
    EXPECT_EQ(g_exitFlags, static_cast<UINT>(EWX_REBOOT));
}

TEST(CollectorTest, InitDllBuildsTheCataloguesOnceAndPicksThePacker) {
    engine::host::Collector collector;
    EXPECT_EQ(collector.InitDll(), 1);
    const size_t folders = collector.WmicCatalogue().size();
    EXPECT_EQ(folders, 20u);
    EXPECT_EQ(collector.InitDll(), 1);
    EXPECT_EQ(collector.WmicCatalogue().size(), folders);
    EXPECT_EQ(collector.WmiDeviceCatalogue().size(), 10u);
    EXPECT_EQ(collector.WmiSystemCatalogue().size(), 19u);
    EXPECT_EQ(collector.Is64BitOs(), std::string(std::getenv("SKELDA_PREFIX_KIND")) == "win64");
}

}  // namespace
