// The folder browser and the archive path it yields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "api/OrvaneSkeldaApi.h"
#include "host/Collector.h"
#include "host/FolderPicker.h"

namespace {

TEST(FolderPickerTest, DriveRootKeepsItsBackslashBeforeTheAppendedOne) {
    wchar_t buffer[1024];
    ASSERT_TRUE(engine::host::WriteArchivePath(L"C:\\", buffer));
    EXPECT_STREQ(buffer, L"C:\\\\信息收集.7z");
    ASSERT_TRUE(engine::host::WriteArchivePath(L"D:\\a b&c", buffer));
    EXPECT_STREQ(buffer, L"D:\\a b&c\\信息收集.7z");
}

TEST(FolderPickerTest, APathThatDoesNotFitLeavesTheBufferUntouched) {
    const std::wstring name = engine::api::kDefaultArchiveName;
    const std::wstring fits(MAX_PATH - 1 - 1 - name.size(), L'x');
    wchar_t buffer[1024];
    ASSERT_TRUE(engine::host::WriteArchivePath(fits, buffer));
    EXPECT_EQ(std::wstring(buffer).size(), static_cast<size_t>(MAX_PATH - 1));

    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_FALSE(engine::host::WriteArchivePath(fits + L"y", buffer));
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(buffer[1023], L'#');
}

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

TEST(FolderPickerTest, CancelLeavesTheBufferUntouched) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the folder browser needs a display (run under Xvfb)";
    wchar_t buffer[1024];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    engine::host::Collector collector;
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
