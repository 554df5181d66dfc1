// The problem-solving feedback dialog with a recording double of the feedback library.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "ProblemSolvingFeedbackDlg.h"
#include "testing/TempFolder.h"
#include "TestKit.h"
#include "resource.h"

using namespace fetest;

TEST(FeedbackTimeTextTest, SignedThirtyTwoBitSecondsWithoutPadding) {
    EXPECT_EQ(frontend::FeedbackTimeText(1577836800), L"1577836800");  // 2020-01-01 00:00:00 UTC
    EXPECT_EQ(frontend::FeedbackTimeText(0), L"0");
    EXPECT_EQ(frontend::FeedbackTimeText(7), L"7");
    EXPECT_EQ(frontend::FeedbackTimeText(2147483647), L"2147483647");
    // Past 2038 the 32-bit number wraps, as "%d" of the 32-bit time writes it.
    EXPECT_EQ(frontend::FeedbackTimeText(2147483648LL), L"-2147483648");
}

TEST(FeedbackTimeTextTest, NowIsTheRuntimesClockInSeconds) {
    const int64_t now = frontend::SecondsSince1970Now();
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(_time64(nullptr)), 2.0);
}

TEST(FeedbackLayoutTest, DesignSizeCentresAndLargerSizesScale) {
    frontend::FeedbackLayout l = frontend::FeedbackLayoutFor(400, 468, 1.0f);
    EXPECT_EQ(l.solved.left, 67);
    EXPECT_EQ(l.solved.top, 194);
    EXPECT_EQ(l.unsolved.top, 294);
    EXPECT_EQ(l.solved.right - l.solved.left, 266);
    EXPECT_EQ(l.close.left, 382);
    l = frontend::FeedbackLayoutFor(600, 702, 1.5f);
    EXPECT_EQ(l.solved.left, 100);
    EXPECT_EQ(l.solved.top, 291);
    EXPECT_EQ(l.unsolved.top, 441);
    EXPECT_EQ(l.unsolved.bottom - l.unsolved.top, 90);
    EXPECT_EQ(l.close.left, 600 - 27);
    EXPECT_EQ(l.close.right - l.close.left, 18);
}

namespace {

class FeedbackDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyInto(DoublePath(L"OrvaneFeedbackInformation"), folder_.Path(), L"OrvaneFeedbackInformation.dll"));
        ASSERT_TRUE(feedback_.LoadFrom(folder_.Path()));
    }

    // Runs the dialog and clicks the button (clicks times), then reads the double's record.
    std::vector<std::wstring> Answer(UINT button, int clicks = 1, bool withLibrary = true) {
        CProblemSolvingFeedbackDlg dlg;
        if (withLibrary) dlg.SetFeedbackDll(&feedback_);
        bool escapeIgnored = false;
        AfterDelay(150, [&] {
            CProblemSolvingFeedbackChildDlg* child = dlg.FeedbackChild();
            if (!child) { dlg.EndDialog(-2); return; }
            // Esc and Enter do not dismiss the dialog without an answer.
            ::PostMessageW(child->m_solved, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(child->m_solved, WM_KEYDOWN, VK_RETURN, 0);
            AfterDelay(200, [&, child] {
                escapeIgnored = dlg.m_hWnd && ::IsWindowVisible(child->m_hWnd);
                for (int i = 0; i < clicks; ++i) QueueClick(child->GetDlgItem(button));
            });
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(escapeIgnored);
        return CallRecord(folder_.Path()).Lines();
    }

    static std::wstring Code(const std::wstring& report) {
        // "CustomerFeedbackEx Skelda|V 1.0|<code>|<time>"
        const size_t a = report.find(L'|', report.find(L'|') + 1);
        return report.substr(a + 1, report.find(L'|', a + 1) - a - 1);
    }

    util::testing::TempFolder folder_;
    CFeedbackDll feedback_;
};

}  // namespace

TEST_F(FeedbackDialogTest, SolvedReportsFiveOnceWithTheTime) {
    const int64_t before = frontend::SecondsSince1970Now();
    const std::vector<std::wstring> calls = Answer(IDC_FEEDBACK_SOLVED);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind(L"CustomerFeedbackEx Skelda|V 1.0|5|", 0), 0u) << calls[0];
    const long long time = std::stoll(calls[0].substr(calls[0].rfind(L'|') + 1));
    EXPECT_GE(time, before);
    EXPECT_LE(time, frontend::SecondsSince1970Now());
}

TEST_F(FeedbackDialogTest, UnsolvedReportsSixThenAsksTheQuestion) {
    const std::vector<std::wstring> calls = Answer(IDC_FEEDBACK_UNSOLVED);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(Code(calls[0]), L"6");
    EXPECT_EQ(calls[1], L"FeedbackQuestion Skelda|V 1.0");
}

TEST_F(FeedbackDialogTest, CloseButtonReportsFour) {
    const std::vector<std::wstring> calls = Answer(IDC_FEEDBACK_CLOSE);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(Code(calls[0]), L"4");
}

TEST_F(FeedbackDialogTest, ClicksQueuedBeforeTheCloseReportOnce) {
    const std::vector<std::wstring> calls = Answer(IDC_FEEDBACK_UNSOLVED, 3);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(Code(calls[0]), L"6");
}

TEST_F(FeedbackDialogTest, WithoutALibraryTheDialogOnlyCloses) {
    EXPECT_TRUE(Answer(IDC_FEEDBACK_UNSOLVED, 1, false).empty());
}
