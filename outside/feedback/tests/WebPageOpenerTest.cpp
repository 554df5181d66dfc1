// Which way a page is opened, with recorders in place of the shell calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WebPageOpener.h"

namespace {

struct Recorder {
    bool elevated = false;
    bool desktopWorks = true;
    bool hereWorks = true;
    std::vector<std::wstring> calls;
};
Recorder g_recorder;

const outside::ShellRoutes kRecordingRoutes{
    [] { return g_recorder.elevated; },
    [](const std::wstring& url) {
        g_recorder.calls.push_back(L"desktop " + url);
        return g_recorder.desktopWorks;
    },
    [](const std::wstring& url) {
        g_recorder.calls.push_back(L"here " + url);
        return g_recorder.hereWorks;
    },
    [](const std::wstring& url) { g_recorder.calls.push_back(L"told " + url); },
};

std::vector<std::wstring> Open(const std::wstring& url, bool elevated, bool desktopWorks, int expected) {
    g_recorder = Recorder{elevated, desktopWorks};
    EXPECT_EQ(outside::OpenWebPage(url, kRecordingRoutes), expected) << url;
    return g_recorder.calls;
}

using Calls = std::vector<std::wstring>;

}  // namespace

TEST(WebPageOpenerTest, AnUnelevatedProgramOpensThePageItself) {
    EXPECT_EQ(Open(L"https://example.org/a?b=1", false, true, 1), Calls{L"here https://example.org/a?b=1"});
}

TEST(WebPageOpenerTest, AnElevatedProgramOnlyEverGoesThroughTheDesktop) {
    EXPECT_EQ(Open(L"http://example.org/", true, true, 1), Calls{L"desktop http://example.org/"});
    // No desktop shell to hand over to: nothing is opened elevated, the user is told where to go.
    EXPECT_EQ(Open(L"http://example.org/", true, false, 0),
              (Calls{L"desktop http://example.org/", L"told http://example.org/"}));
}

TEST(WebPageOpenerTest, OnlyWebAddressesReachAnyRoute) {
    for (bool elevated : {false, true}) {
        EXPECT_EQ(Open(L"C:\\Windows\\notepad.exe", elevated, true, 0), Calls{});
        EXPECT_EQ(Open(L"file:///C:/Windows/notepad.exe", elevated, true, 0), Calls{});
        EXPECT_EQ(Open(L"", elevated, true, 0), Calls{});
    }
}
