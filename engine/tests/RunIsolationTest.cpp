// A run in this process: what ends it early, and what keeps two runs apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CollectionRun.h"
#include "Collector.h"
#include "RunGuard.h"
#include "TempFolder.h"

namespace {

// Receives one collector's result messages in a message-only window.
class Receiver {
public:
    Receiver() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Receiver::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RunIsolationReceiver";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    }
    ~Receiver() { ::DestroyWindow(hwnd_); }
    HWND Handle() const { return hwnd_; }
    const std::vector<WPARAM>& Results() const { return results_; }

    // Handles messages until every worker of the collector has ended (a minute at most).
    bool PumpUntilIdle(const CCollector& collector) {
        for (int i = 0; i < 600 && collector.IsRunning(); ++i) Pump(100);
        Pump(100);  // a pair sent just before the last worker ended
        return !collector.IsRunning();
    }

private:
    static void Pump(DWORD ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<Receiver*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_COLLECT_RESULT) {
            self->results_.push_back(wParam);
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HWND hwnd_;
    std::vector<WPARAM> results_;
};

const int kNoCategory[kCategoryCount] = {};

class RunIsolationTest : public ::testing::Test {
protected:
    void SetUp() override {
        collector_.InitDll();
        ASSERT_EQ(collector_.SetWndHandle(receiver_.Handle()), 1);
    }
    std::wstring Archive() const { return out_.Path() + L"\\信息收集.7z"; }

    skelda::testing::TempFolder out_{L" 输出"};
    Receiver receiver_;
    CCollector collector_;
};

TEST_F(RunIsolationTest, AThrowingWorkerGivesOneFailurePairAndFreesTheMachine) {
    collector_.SetThrowingWorkerForTesting(1);
    ASSERT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 1);
    ASSERT_TRUE(receiver_.PumpUntilIdle(collector_));
    EXPECT_EQ(receiver_.Results(), (std::vector<WPARAM>{COLLECT_FINISHED, COLLECT_FAILED}));
    EXPECT_EQ(::GetFileAttributesW(Archive().c_str()), INVALID_FILE_ATTRIBUTES);
    // The run is over everywhere: the machine-wide guard was given back.
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST_F(RunIsolationTest, AnArchivePathNamingAFolderIsRefusedBeforeCollecting) {
    const std::wstring folder = out_.Path() + L"\\a folder.7z";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_EQ(collector_.StartGetSystemInfo(folder.c_str(), kNoCategory), 1);
    ASSERT_TRUE(receiver_.PumpUntilIdle(collector_));
    std::vector<WPARAM> fourFolderFailures;
    for (int i = 0; i < 4; ++i) fourFolderFailures.insert(fourFolderFailures.end(), {COLLECT_FINISHED, COLLECT_FOLDER_FAILED});
    EXPECT_EQ(receiver_.Results(), fourFolderFailures);
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);  // untouched
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST_F(RunIsolationTest, AnotherRunHoldingTheMachineGuardRefusesTheStart) {
    skelda::RunGuard other;  // stands for another process's run
    ASSERT_TRUE(other.TryAcquire(orvane::kRunGuardName));
    EXPECT_TRUE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
    EXPECT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 0);
    EXPECT_FALSE(collector_.IsRunning());
    other.Release();
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST(TemporaryArchiveTest, SitsBesideTheTargetAndKeepsTheArchiveExtension) {
    EXPECT_EQ(engine::TemporaryArchivePath(L"D:\\x y\\信息收集.7z", 42), L"D:\\x y\\信息收集.7z.42.partial.7z");
}

}  // namespace
