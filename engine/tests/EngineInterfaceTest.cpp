#include <gtest/gtest.h>

#include <string>

#include "ArchivePath.h"
#include "Collector.h"
#include "OsVersion.h"
#include "ProcAddress.h"

namespace {

TEST(OsVersionTest, EveryKnownPairAndItsNeighbours) {
    struct Case { DWORD major, minor; int code; bool supported; };
    const Case cases[] = {
        {5, 0, 3, false}, {5, 1, 4, false}, {5, 2, 5, false}, {6, 0, 6, false},
        {6, 1, 7, true},  {6, 2, 8, true},  {6, 3, 9, true},  {10, 0, 10, true},
        {6, 4, 0, false}, {11, 0, 0, false}, {10, 1, 0, false}, {4, 0, 0, false}, {0, 0, 0, false},
    };
    for (const Case& c : cases) {
        CCollector collector;
        EXPECT_EQ(collector.CheckOsVersion(c.major, c.minor), c.supported ? 1 : 0) << c.major << "." << c.minor;
        EXPECT_EQ(collector.OsVersion(), c.code) << c.major << "." << c.minor;
    }
}

TEST(OsVersionTest, EnvironmentBlockAgreesWithTheSystem) {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtlGetVersion = skelda::ProcAddress<RtlGetVersionFn>(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    rtlGetVersion(&info);

    DWORD major = 0;
    DWORD minor = 0;
    engine::ReadPebOsVersion(major, minor);
    EXPECT_EQ(major, info.dwMajorVersion);
    EXPECT_EQ(minor, info.dwMinorVersion);

    CCollector collector;
    EXPECT_EQ(collector.GetCurSystemIsSupport(), 1);  // the test prefixes report Windows 10
    EXPECT_EQ(collector.OsVersion(), engine::OS_WIN10);
}

TEST(ArchivePathTest, DriveRootKeepsItsBackslashBeforeTheAppendedOne) {
    wchar_t buffer[1024];
    ASSERT_TRUE(engine::WriteArchivePath(L"C:\\", buffer));
    EXPECT_STREQ(buffer, L"C:\\\\信息收集.7z");
    ASSERT_TRUE(engine::WriteArchivePath(L"D:\\a b&c", buffer));
    EXPECT_STREQ(buffer, L"D:\\a b&c\\信息收集.7z");
}

TEST(ArchivePathTest, APathThatDoesNotFitLeavesTheBufferUntouched) {
    const std::wstring name = engine::kArchiveFileName;
    const std::wstring fits(MAX_PATH - 1 - 1 - name.size(), L'x');
    wchar_t buffer[1024];
    ASSERT_TRUE(engine::WriteArchivePath(fits, buffer));
    EXPECT_EQ(std::wstring(buffer).size(), static_cast<size_t>(MAX_PATH - 1));

    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_FALSE(engine::WriteArchivePath(fits + L"y", buffer));
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(buffer[1023], L'#');
}

TEST(CollectorTest, NullWindowIsRefusedAndTheEarlierOneStays) {
    CCollector collector;
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
    CCollector collector;
    collector.SetExitWindowsForTesting(&RecordExitWindows);
    EXPECT_EQ(collector.RestartSystem(), 1);
    EXPECT_EQ(g_exitFlags, static_cast<UINT>(EWX_REBOOT));
}

TEST(CollectorTest, InitDllBuildsTheCataloguesOnceAndPicksThePacker) {
    CCollector collector;
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

namespace {

// Answers the folder browser from another thread, as a user would, and tells what it showed.
class BrowserAnswer {
public:
    explicit BrowserAnswer(WORD command) : command_(command) {
        thread_ = ::CreateThread(nullptr, 0, &BrowserAnswer::Main, this, 0, nullptr);
    }
    ~BrowserAnswer() {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
    bool SawTitle() const { return sawTitle_; }

private:
    static BOOL CALLBACK FindTitle(HWND child, LPARAM param) {
        wchar_t text[64] = {};
        ::GetWindowTextW(child, text, 64);
        if (std::wstring(text) == L"请选择文件夹") *reinterpret_cast<bool*>(param) = true;
        return TRUE;
    }
    static BOOL CALLBACK FindOwnDialog(HWND window, LPARAM param) {
        wchar_t name[16] = {};
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(window)) return TRUE;
        if (!::GetClassNameW(window, name, 16) || std::wstring(name) != L"#32770") return TRUE;
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    static HWND OwnVisibleDialog() {
        HWND found = nullptr;
        ::EnumWindows(&FindOwnDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static DWORD WINAPI Main(LPVOID param) {
        auto* self = static_cast<BrowserAnswer*>(param);
        for (int i = 0; i < 300; ++i) {
            // Other tests' dialogs may share the display: look among this process's windows only.
            HWND dialog = OwnVisibleDialog();
            if (dialog) {
                ::EnumChildWindows(dialog, &FindTitle, reinterpret_cast<LPARAM>(&self->sawTitle_));
                ::PostMessageW(dialog, WM_COMMAND, self->command_, 0);
                return 0;
            }
            ::Sleep(100);
        }
        return 1;
    }
    WORD command_;
    HANDLE thread_;
    bool sawTitle_ = false;
};

TEST(FolderBrowserTest, CancelLeavesTheBufferUntouched) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the folder browser needs a display (run under Xvfb)";
    wchar_t buffer[1024];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    CCollector collector;
    int result;
    bool sawTitle;
    {
        BrowserAnswer answer(IDCANCEL);
        result = collector.SelectSaveSystemInfoFilePosition(nullptr, buffer);
        sawTitle = answer.SawTitle();
    }
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(sawTitle);
    EXPECT_EQ(buffer[0], L'#');
}

}  // namespace
