// Loads the shipped engine library the way the program does and calls its exports.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "api/OrvaneSkeldaApi.h"
#include "win/ProcAddress.h"
#include "testing/ResultReceiver.h"

namespace {

std::wstring DistFolder() {
    const char* dist = std::getenv("SKELDA_DIST");  // a Unix path; Wine maps it under Z:
    std::string path = dist ? dist : "";
    for (char& c : path) if (c == '/') c = '\\';
    return L"Z:" + std::wstring(path.begin(), path.end());
}

class ExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = ::LoadLibraryW((DistFolder() + L"\\OrvaneSkelda.dll").c_str());
        ASSERT_NE(engine_, nullptr) << ::GetLastError();
    }
    void TearDown() override {
        if (engine_) ::FreeLibrary(engine_);
    }
    template <typename F>
    F Find(const char* name) {
        return util::win::ProcAddress<F>(engine_, name);
    }
    HMODULE engine_ = nullptr;
};

TEST_F(ExportsTest, AllSixFoundByNameAndCallable) {
    using NoArgs = int(__cdecl*)();
    auto initDll = Find<NoArgs>("InitDll");
    auto setWnd = Find<int(__cdecl*)(HWND)>("SetWndHandle");
    auto isSupported = Find<NoArgs>("GetCurSystemIsSupport");
    auto select = Find<int(__cdecl*)(HWND, wchar_t*)>("SelectSaveSystemInfoFilePosition");
    auto start = Find<int(__cdecl*)(const wchar_t*, const int*)>("StartGetSystemInfo");
    auto restart = Find<NoArgs>("RestartSystem");
    ASSERT_TRUE(initDll && setWnd && isSupported && select && start && restart);

    EXPECT_EQ(setWnd(nullptr), 0);
    EXPECT_EQ(setWnd(::GetDesktopWindow()), 1);
    EXPECT_EQ(isSupported(), 1);
    EXPECT_EQ(initDll(), 1);
    EXPECT_EQ(initDll(), 1);
}

}  // namespace

namespace {

TEST_F(ExportsTest, AHostMayReleaseTheEngineWhileItsWorkersRun) {
    auto setWnd = Find<int(__cdecl*)(HWND)>("SetWndHandle");
    auto start = Find<int(__cdecl*)(const wchar_t*, const int*)>("StartGetSystemInfo");
    Find<int(__cdecl*)()>("InitDll")();
    engine::testing::ResultReceiver sink;
    ASSERT_EQ(setWnd(sink.Handle()), 1);

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring archive = std::wstring(temp) + L"exports-test-" + std::to_wstring(::GetCurrentProcessId()) + L".7z";
    const int none[8] = {};
    ASSERT_EQ(start(archive.c_str(), none), 1);
    // A second start while the first run's workers are alive is refused.
    EXPECT_EQ(start(archive.c_str(), none), 0);

    ::FreeLibrary(engine_);
    engine_ = nullptr;
    ASSERT_TRUE(sink.PumpUntil([&] { return sink.Results().size() >= 2; }));
    EXPECT_EQ(sink.Results()[0], 100u);
    EXPECT_EQ(sink.Results()[1], 1u);
    // The last worker lets the library go once it has ended.
    EXPECT_TRUE(sink.PumpUntil([] { return ::GetModuleHandleW(L"OrvaneSkelda.dll") == nullptr; }));
    EXPECT_NE(::GetFileAttributesW(archive.c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(archive.c_str());
}

}  // namespace
