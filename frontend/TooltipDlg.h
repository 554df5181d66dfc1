#pragma once
// The terms panel of the usage-terms window: a modeless layered frame CTooltipDlg and its child
// CTooltipChildDlg with the agreement in a read-only rich edit under skinned scroll bars.
// The usage-terms child creates it hidden and shows, hides and moves it; the child follows.
#include <memory>

#include "GdiHandles.h"
#include "SkinDialogs.h"

class CTooltipChildDlg : public CSkinChildDlg {
public:
    CTooltipChildDlg();
    void Layout() override;
    HWND TermsEdit() const { return edit_; }

protected:
    // The panel is only read: it takes no focus when it is made.
    BOOL OnInitDialog() override {
        CSkinChildDlg::OnInitDialog();
        return FALSE;
    }
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    HWND edit_ = nullptr;
    ui::UniqueBitmap scrollSkin_;
};

class CTooltipDlg : public CSkinHostDlg {
public:
    CTooltipDlg();
    CTooltipChildDlg* PanelChild() const { return static_cast<CTooltipChildDlg*>(Child()); }
    // Shows or hides the frame and its child together.
    void ShowPanel(bool show);
    bool IsPanelVisible() const { return m_hWnd && IsWindowVisible(); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    void OnMove() override;
    void OnOK() override {}
    void OnCancel() override {}
};
