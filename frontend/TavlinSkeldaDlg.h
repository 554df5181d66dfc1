#pragma once
// The main collection window: the layered frame CTavlinSkeldaDlg and its child CSkeldaDlg,
// which carries the controls, binds the engine and shows the run's prompts.
#include <memory>
#include <string>
#include <vector>

#include "CheckBoxes.h"
#include "DrawTextStatic.h"
#include "ExecutePromptDlg.h"
#include "LibraryBindings.h"
#include "api/OrvaneSkeldaApi.h"
#include "PngButtons.h"
#include "SkinDialogs.h"
#include "TextVcenterEdit.h"

// Size of the archive path buffer shared with the engine, terminator included.
constexpr int kArchivePathUnits = 1024;

namespace frontend {
// Pixel width of a one-line text in a dialog's font (the stock GUI font when it has none).
int TextWidthInDialogFont(HWND dialog, LPCWSTR text);

// What the engine said in this process's environment variable name; empty when it did not.
std::wstring EngineVariable(const wchar_t* name);
// The success prompt's text: where the archive went differs from the run's target only when
// the earlier archive could not be replaced, and then the text names the new one's path; a line
// more when the archive lacks something (lacks as the engine says it).
std::wstring SuccessText(const std::wstring& target, const std::wstring& placed, const std::wstring& lacks = {});
// The failure prompt's text, naming the folder where what was collected is kept, if any.
std::wstring FailureText(const std::wstring& kept);
}  // namespace frontend

class CSkeldaDlg : public CSkinChildDlg {
public:
    // libraryFolder: where the engine and the feedback library are loaded from.
    explicit CSkeldaDlg(std::wstring libraryFolder);
    ~CSkeldaDlg() override;

    void Layout() override;
    // The switches as the check boxes give them now, indexed by category (control-id order).
    void ReadSwitches(int (&switches)[engine::api::kCategoryCount]) const;
    // The progress prompt of the last run, while its window is open; null otherwise.
    CExecutePromptDlg* OpenProgressPrompt() const;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    // Esc and Enter are swallowed before they get here; IDOK and IDCANCEL from elsewhere do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void LayoutCheckBoxes();
    void LayoutLabels(const RECT& client);
    void OnCommand(UINT id);
    void OnBrowse();
    void OnStart();
    void OnClose();
    void OnMinimize();
    LRESULT OnCollectResult(WPARAM code);
    LRESULT OnEnableStart(WPARAM enable);
    void OnLButtonDown(LPARAM lp);
    void ShowPrompt(LPCWSTR text);
    void ShowResultPrompt(WPARAM code);

    CPngButton close_;
    CPngButton minimize_;
    CPngCheckBoxEx checks_[engine::api::kCategoryCount];
    CTextVcenterEdit pathEdit_;
    CFeaturePngButton browse_;
    CFeaturePngButton start_;
    CEngineDll engine_;
    std::unique_ptr<CExecutePromptDlg> progress_;
    bool collecting_ = false;             // from a start until its outcomes have been shown
    std::wstring startTarget_;            // the archive's path as the engine took it at the start
    std::vector<WPARAM> pendingResults_;  // outcomes that came while the progress prompt was open
    CDrawTextStatic titleLabel_;
    CDrawTextStatic feedbackLink_;
    CFeedbackDll feedback_;
    std::wstring libraryFolder_;
    bool feedbackOpen_ = false;  // the close question is up; a second close does nothing
};

class CTavlinSkeldaDlg : public CSkinHostDlg {
public:
    // libraryFolder: where the libraries are loaded from (the clean room).
    explicit CTavlinSkeldaDlg(std::wstring libraryFolder);
    CSkeldaDlg* MainChild() const { return static_cast<CSkeldaDlg*>(Child()); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    // Enter reaching the frame does not end the window; closing goes through WM_CLOSE.
    void OnOK() override {}
    // The program folder goes when the main window does.
    virtual void StartSelfRemoval();

private:
    bool OnSysCommand(WPARAM command);
    bool OnPaint();

    std::wstring libraryFolder_;

    HICON icon_;
};
