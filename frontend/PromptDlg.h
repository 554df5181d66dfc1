#pragma once
// The message prompt: a small skinned window with a text and one or two image buttons.
//   CPromptDlg dlg;
//   dlg.SetText(L"..."); dlg.SetKind(PROMPT_CONFIRM); dlg.m_scale = m_scale;
//   if (dlg.DoModal() == IDOK) ...
// The left button ends it with IDOK, the right and the close button with IDCANCEL.
// Esc and Enter do nothing.
#include <memory>
#include "DrawTextStatic.h"
#include "PngButtons.h"
#include "SkinDialogs.h"

// Prompt kinds: which buttons show and where the left one stands.
constexpr int PROMPT_YES = 1;              // "是", centred
constexpr int PROMPT_YES_NO = 2;           // "是" and "否"
constexpr int PROMPT_CONFIRM = 3;          // "确认", centred
constexpr int PROMPT_CONFIRM_CANCEL = 4;   // "确认" and "取消"

namespace frontend {

struct PromptButtons {
    UINT left[4];   // normal, hover, pressed, disabled
    UINT right[4];
    bool rightShown;
    bool leftCentred;
};
// Images and placement of the buttons for a kind; unknown kinds show "是" alone, not centred.
PromptButtons PromptButtonsForKind(int kind);

struct PromptLayout {
    RECT close, left, right, text;
};
// Control rectangles in a child client area of width x height.
PromptLayout PromptLayoutFor(int width, int height, int kind, float scale);

}  // namespace frontend

class CPromptChildDlg : public CSkinChildDlg {
public:
    CPromptChildDlg(const CString& text, int kind);
    void Layout() override;

    CPngButton m_close;
    CPngButton m_left;
    CPngButton m_right;
    CDrawTextStatic m_message;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnButton(UINT id);

    CString text_;
    int kind_;
};

class CPromptDlg : public CSkinHostDlg {
public:
    explicit CPromptDlg(CWnd* parent = nullptr);

    void SetText(const CString& text) { text_ = text; }
    void SetKind(int kind) { kind_ = kind; }
    CPromptChildDlg* PromptChild() const { return static_cast<CPromptChildDlg*>(Child()); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CString text_;
    int kind_ = PROMPT_YES;
};

// Runs a message prompt over owner (one of this program's windows, or null) and returns
// IDOK or IDCANCEL.
INT_PTR ShowPrompt(HWND owner, float scale, int kind, const CString& text);
