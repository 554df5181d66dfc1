#include "ProblemSolvingFeedbackDlg.h"

#include <array>

#include "FrontendTexts.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "resource.h"

using skin::Scaled;

namespace frontend {

CString FeedbackTimeText(int64_t seconds) {
    CString text;
    text.Format(L"%d", static_cast<int32_t>(static_cast<uint32_t>(seconds)));
    return text;
}

int64_t SecondsSince1970Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const int64_t ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr int64_t kTicksFrom1601To1970 = 116444736000000000LL;  // 100 ns units
    return (ticks - kTicksFrom1601To1970) / 10000000LL;
}

FeedbackLayout FeedbackLayoutFor(int width, int height, float s) {
    const int w = Scaled(266, s), h = Scaled(60, s);
    FeedbackLayout l{};
    const int closeLeft = width - Scaled(18, s), closeTop = Scaled(6, s);
    l.close = RECT{closeLeft, closeTop, closeLeft + Scaled(12, s), closeTop + Scaled(12, s)};
    int left, solvedTop, unsolvedTop;
    if (width <= 400) {  // design size: placed from the client's centre
        left = width / 2 - 133;
        solvedTop = height / 2 - 40;
        unsolvedTop = height / 2 + 60;
    } else {
        left = Scaled(67, s);
        solvedTop = Scaled(194, s);
        unsolvedTop = Scaled(294, s);
    }
    l.solved = RECT{left, solvedTop, left + w, solvedTop + h};
    l.unsolved = RECT{left, unsolvedTop, left + w, unsolvedTop + h};
    return l;
}

}  // namespace frontend

// ---- child ----

CProblemSolvingFeedbackChildDlg::CProblemSolvingFeedbackChildDlg(CFeedbackDll* feedback)
    : CSkinChildDlg(IDD_FEEDBACK_CHILD, IDB_FEEDBACK_BACKGROUND, skin::DragStrip{30, 26}, 37), feedback_(feedback) {
    m_swallowEscEnter = true;
}

void CProblemSolvingFeedbackChildDlg::DoDataExchange() {
    BindControl(IDC_FEEDBACK_CLOSE, m_close);
    BindControl(IDC_FEEDBACK_SOLVED, m_solved);
    BindControl(IDC_FEEDBACK_UNSOLVED, m_unsolved);
}

BOOL CProblemSolvingFeedbackChildDlg::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();
    TrackHover(m_close);
    TrackHover(m_solved);
    TrackHover(m_unsolved);
    return TRUE;
}

namespace {

// A large answer button over its part of the background (image pixels of the 400 x 468 PNG).
void LayoutAnswerButton(CFeaturePngButton& button, const RECT& place, const RECT& backgroundPart, int inset,
                        const std::array<UINT, 4>& images) {
    button.LoadBackground(IDB_FEEDBACK_BACKGROUND);
    button.SetBackgroundRect(backgroundPart.left, backgroundPart.top, backgroundPart.right, backgroundPart.bottom);
    button.SetStretch(TRUE);
    button.SetHitInsets(inset, inset, inset, inset);
    button.SetImages(images[0], images[1], images[2], images[3]);
    button.MoveWindow(place);
}

}  // namespace

void CProblemSolvingFeedbackChildDlg::Layout() {
    const RECT client = GetClientRect();
    const frontend::FeedbackLayout l = frontend::FeedbackLayoutFor(skin::Width(client), skin::Height(client), m_scale);
    const int inset = Scaled(9, m_scale);

    m_close.SetImages(IDB_FEEDBACK_CLOSE_NORMAL, IDB_FEEDBACK_CLOSE_HOVER, IDB_FEEDBACK_CLOSE_PRESSED,
                      IDB_FEEDBACK_CLOSE_DISABLED);
    m_close.SetStretch(TRUE);
    m_close.MoveWindow(l.close);

    LayoutAnswerButton(m_solved, l.solved, RECT{67, 194, 333, 254}, inset,
                       {IDB_FEEDBACK_SOLVED_NORMAL, IDB_FEEDBACK_SOLVED_HOVER, IDB_FEEDBACK_SOLVED_PRESSED,
                        IDB_FEEDBACK_SOLVED_DISABLED});
    LayoutAnswerButton(m_unsolved, l.unsolved, RECT{67, 294, 333, 354}, inset,
                       {IDB_FEEDBACK_UNSOLVED_NORMAL, IDB_FEEDBACK_UNSOLVED_HOVER, IDB_FEEDBACK_UNSOLVED_PRESSED,
                        IDB_FEEDBACK_UNSOLVED_DISABLED});
}

void CProblemSolvingFeedbackChildDlg::OnAnswer(int code) {
    // One answer per dialog: a second click queued before the close is not reported again.
    if (answered_) return;
    answered_ = true;
    if (feedback_ && feedback_->feedbackEx) {
        wchar_t time[32] = {};
        const CString text = frontend::FeedbackTimeText(frontend::SecondsSince1970Now());
        wcsncpy(time, text, 31);
        feedback_->feedbackEx(texts::kToolName, texts::kToolVersion, code, time);
        if (code == FEEDBACK_UNSOLVED && feedback_->question) feedback_->question(texts::kToolName, texts::kToolVersion);
    }
    if (m_host) m_host->SendMessage(WM_CLOSE);
}

void CProblemSolvingFeedbackChildDlg::OnDestroy() {
    m_close.FreeImages();
    m_solved.FreeImages();
    m_unsolved.FreeImages();
    CSkinChildDlg::OnDestroy();
}

LRESULT CProblemSolvingFeedbackChildDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
            case IDC_FEEDBACK_CLOSE: OnAnswer(FEEDBACK_CLOSED); return 0;
            case IDC_FEEDBACK_SOLVED: OnAnswer(FEEDBACK_SOLVED); return 0;
            case IDC_FEEDBACK_UNSOLVED: OnAnswer(FEEDBACK_UNSOLVED); return 0;
        }
    }
    return CSkinChildDlg::WindowProc(msg, wp, lp);
}

// ---- host ----

CProblemSolvingFeedbackDlg::CProblemSolvingFeedbackDlg(CWnd* parent)
    : CSkinHostDlg(IDD_FEEDBACK,
                   skin::HostFrame{{410, 479}, IDB_FEEDBACK_FRAME, {5, 4, 10, 11}, {5, 3, 5, 7}, false, 1}, parent) {
    m_swallowEscEnter = true;
}

BOOL CProblemSolvingFeedbackDlg::OnInitDialog() {
    // Its own scale, like a top-level host, but placed by the dialog's centring like a prompt.
    m_scale = skin::ScreenDisplayScale();
    SetWindowText(texts::kWindowTitle);
    return CSkinHostDlg::OnInitDialog();
}

std::unique_ptr<CSkinChildDlg> CProblemSolvingFeedbackDlg::MakeChild() {
    return std::make_unique<CProblemSolvingFeedbackChildDlg>(feedback_);
}
