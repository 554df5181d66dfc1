#pragma once
// The usage-terms window, the first the user sees: the layered frame CUsageArgeementsDlg and
// its child CUsageArgeeementChildDlg with the consent box, the terms link, close and start.
// The child binds the mouse-hook and feedback libraries and runs the newer-version check.
#include <memory>

#include "CheckBoxes.h"
#include "DrawTextStatic.h"
#include "LibraryBindings.h"
#include "PngButtons.h"
#include "SkinDialogs.h"
#include "TooltipDlg.h"

class CUsageArgeeementChildDlg : public CSkinChildDlg {
public:
    // libraryFolder: where the mouse hook and the feedback library are loaded from.
    explicit CUsageArgeeementChildDlg(std::wstring libraryFolder);
    ~CUsageArgeeementChildDlg() override;

    void Layout() override;
    CTooltipDlg* Panel() const { return panel_.get(); }
    bool HookStarted() const { return hookStarted_ != 0; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    // The dialog manager's Enter and Esc must not hide this modeless child.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void CheckForNewerVersion();
    void OnCommand(UINT id);
    void OnConsentClicked();
    void OnLButtonDown(LPARAM lp);
    LRESULT OnMouseHookClick();
    void TogglePanel();
    void HidePanel();

    CPngButton close_;
    CFeaturePngButton start_;
    CCheckBoxBtn consent_;
    CDrawTextStatic link_;
    CMouseHookDll hook_;
    int hookStarted_ = 0;
    std::unique_ptr<CTooltipDlg> panel_;
    CFeedbackDll feedback_;
    std::wstring libraryFolder_;
};

class CUsageArgeementsDlg : public CSkinHostDlg {
public:
    // libraryFolder: where the libraries are loaded from (the clean room).
    explicit CUsageArgeementsDlg(std::wstring libraryFolder);
    CUsageArgeeementChildDlg* UsageChild() const { return static_cast<CUsageArgeeementChildDlg*>(Child()); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Only the start button accepts the terms (WM_USAGE_ACCEPTED); Enter does not.
    void OnOK() override {}

    std::wstring libraryFolder_;
};
