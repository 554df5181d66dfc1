#include "ExecutePromptDlg.h"

#include "FrontendMessages.h"
#include "FrontendTexts.h"
#include "PngResource.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "resource.h"

using skin::Scaled;

namespace frontend {

CString ProgressText(const CString& text) { return text.GetLength() < 2 ? CString(texts::kProgressDefault) : text; }

RECT ProgressTextRect(int width, int height, float s) {
    const int middle = height / 2;
    const int top = middle - Scaled(10, s);
    return RECT{Scaled(10, s), top, width - Scaled(10, s), top + Scaled(20, s)};
}

}  // namespace frontend

// ---- child ----

CExecutePromptChildDlg::CExecutePromptChildDlg(const CString& text)
    : CSkinChildDlg(IDD_EXECUTE_PROMPT_CHILD, IDB_EXECUTE_BACKGROUND, skin::DragStrip{0, 0}, 0), text_(text) {
    m_offscreenBackground = true;
}

void CExecutePromptChildDlg::DoDataExchange() { BindControl(IDC_EXECUTE_TEXT, m_message); }

void CExecutePromptChildDlg::Layout() {
    // The static borrows the background; load it now rather than at the first erase.
    if (!background_) skin::LoadPngResource(IDB_EXECUTE_BACKGROUND, background_);
    m_message.SetWindowText(frontend::ProgressText(text_));
    m_message.SetAlign(1);
    m_message.SetTextColor(RGB(255, 255, 255));
    m_message.SetBackground(&background_);
    // The static's own place in the 204 x 104 background, in image pixels.
    m_message.SetBackgroundRect(10, 42, 194, 62);
    const RECT client = GetClientRect();
    m_message.MoveWindow(frontend::ProgressTextRect(skin::Width(client), skin::Height(client), m_scale));
    m_message.CreateFontFromParent();
    m_message.StartAnimation();
}

void CExecutePromptChildDlg::OnDestroy() {
    m_message.StopAnimation();
    CSkinChildDlg::OnDestroy();
}

// ---- host ----

CExecutePromptDlg::CExecutePromptDlg(CWnd* parent)
    : CSkinHostDlg(IDD_EXECUTE_PROMPT,
                   skin::HostFrame{{232, 132}, IDB_EXECUTE_FRAME, {14, 12, 28, 28}, {14, 12, 14, 16}, false, 1},
                   parent) {}

std::unique_ptr<CSkinChildDlg> CExecutePromptDlg::MakeChild() {
    return std::make_unique<CExecutePromptChildDlg>(text_);
}

LRESULT CExecutePromptDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE_PROGRESS) {
        // Gone from the screen now, not only once the loop has noticed the end: whatever the
        // owner shows next must not find the prompt still up.
        if (PromptChild() && PromptChild()->m_hWnd) PromptChild()->ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
        EndDialog(IDOK);
        return 0;
    }
    return CSkinHostDlg::WindowProc(msg, wp, lp);
}
