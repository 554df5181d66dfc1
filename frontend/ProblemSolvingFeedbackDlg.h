#pragma once
// The question shown when the main window closes: was the problem solved? Each of the three
// buttons ("解决", "未解决", close) reports its answer once to the feedback library, with the
// current time; "未解决" also opens the library's question page. Then the dialog closes.
//   CProblemSolvingFeedbackDlg dlg;
//   dlg.SetFeedbackDll(&feedback_);   // may stay null: then nothing is reported
//   dlg.DoModal();
#include <cstdint>
#include <memory>
#include "LibraryBindings.h"
#include "PngButtons.h"
#include "SkinDialogs.h"

namespace frontend {

// Seconds since 1970-01-01 00:00 UTC as "%d" writes them: a signed 32-bit decimal.
CString FeedbackTimeText(int64_t secondsSince1970);
int64_t SecondsSince1970Now();

struct FeedbackLayout {
    RECT close, solved, unsolved;
};
// Button rectangles in a child client area of width x height.
FeedbackLayout FeedbackLayoutFor(int width, int height, float scale);

}  // namespace frontend

class CProblemSolvingFeedbackChildDlg : public CSkinChildDlg {
public:
    explicit CProblemSolvingFeedbackChildDlg(CFeedbackDll* feedback);
    void Layout() override;

    CPngButton m_close;
    CFeaturePngButton m_solved;
    CFeaturePngButton m_unsolved;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnAnswer(int code);

    CFeedbackDll* feedback_;
    bool answered_ = false;
};

class CProblemSolvingFeedbackDlg : public CSkinHostDlg {
public:
    explicit CProblemSolvingFeedbackDlg(CWnd* parent = nullptr);

    // Borrowed: the caller keeps the library bound while the dialog runs.
    void SetFeedbackDll(CFeedbackDll* feedback) { feedback_ = feedback; }
    CProblemSolvingFeedbackChildDlg* FeedbackChild() const {
        return static_cast<CProblemSolvingFeedbackChildDlg*>(Child());
    }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    BOOL OnInitDialog() override;

private:
    CFeedbackDll* feedback_ = nullptr;
};
