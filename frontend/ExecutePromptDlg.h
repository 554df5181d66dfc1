#pragma once
// The progress prompt: a blue panel with one line of white text and animated dots, shown
// modally while a long task runs. Its owner ends it by sending WM_CLOSE_PROGRESS to its window,
// which hides it at once:
//   m_progress = std::make_unique<CExecutePromptDlg>();
//   m_progress->SetText(L"..."); m_progress->m_scale = m_scale;
//   m_progress->DoModal();   // returns IDOK once WM_CLOSE_PROGRESS arrived
#include <memory>
#include "DrawStateInfoStatic.h"
#include "SkinDialogs.h"

namespace frontend {

// The text shown: the given one, or the default when it has fewer than 2 characters.
CString ProgressText(const CString& text);
// The status line in a child client area of width x height (top at 0).
RECT ProgressTextRect(int width, int height, float scale);

}  // namespace frontend

class CExecutePromptChildDlg : public CSkinChildDlg {
public:
    explicit CExecutePromptChildDlg(const CString& text);
    void Layout() override;

    CDrawStateInfoStatic m_message;

protected:
    void DoDataExchange() override;
    void OnDestroy() override;
    // While a run lasts nothing but WM_CLOSE_PROGRESS ends the prompt: Esc, Enter, Alt+F4
    // and the system menu's close are ignored.
    void OnOK() override {}
    void OnCancel() override {}

private:
    CString text_;
};

class CExecutePromptDlg : public CSkinHostDlg {
public:
    explicit CExecutePromptDlg(CWnd* parent = nullptr);

    void SetText(const CString& text) { text_ = text; }
    CExecutePromptChildDlg* PromptChild() const { return static_cast<CExecutePromptChildDlg*>(Child()); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    CString text_;
};
