#pragma once
// CDialog: a dialog from a template, run modally (DoModal) or modeless (Create).
// Both kinds run their messages through CWnd::WalkPreTranslateTree, so a dialog's
// PreTranslateMessage sees the keys of its controls before IsDialogMessage does.
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Runs the dialog in its own message loop; returns the EndDialog code, or -1 if it can't be made.
    INT_PTR DoModal();
    // Makes a modeless dialog; its messages are pumped by whatever loop runs (a modal one included).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(UINT templateId, HWND parent);
    // Ends a modal run with the code; a modeless dialog is hidden.
    void EndDialog(int result);
    bool IsModal() const { return modal_; }

    // Binds a control object to the child with this id by subclassing it.
    BOOL BindControl(UINT id, CWnd& control) { return control.SubclassDlgItem(id, m_hWnd); }

    // Default: IsDialogMessage for messages to this dialog or its controls.
    BOOL PreTranslateMessage(MSG* msg) override;

    // Pumps one queued message through the pre-translate walk; FALSE on WM_QUIT.
    static BOOL PumpMessage();

protected:
    // Base initialisation: binds the controls (DoDataExchange). Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // WM_INITDIALOG, IDOK and IDCANCEL commands; the rest to default dialog handling.
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // For a dialog, default handling is the system's dialog procedure, which runs after the
    // handler returns; handlers that need the default hit test call ::DefWindowProcW themselves.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    friend INT_PTR CALLBACK SkeldaDialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    UINT templateId_;
    CWnd* parent_;
    bool modal_ = false;
    bool ended_ = false;
    bool wantsDefault_ = false;
    INT_PTR result_ = 0;
};
