#pragma once
// The host and child pair every skinned dialog is built from. The host is a per-pixel-alpha
// layered window showing one PNG (frame and shadow), composed once at initialisation; the child
// is a modeless dialog over the host's interior that paints its own PNG and carries the controls.
//
// A pair is declared by deriving both halves and giving the host a child factory:
//   class CPromptChildDlg : public CSkinChildDlg {
//       CPromptChildDlg() : CSkinChildDlg(133, 166, {30, 26}, 34) { m_swallowEscEnter = true; }
//       void DoDataExchange() override { BindControl(1005, m_close); ... }
//       void Layout() override { m_close.SetImages(170, 171, 172, 172); ... }
//   };
//   class CPromptDlg : public CSkinHostDlg {
//       CPromptDlg() : CSkinHostDlg(134, {{336, 156}, 165, {5, 3, 10, 10}, {5, 3, 5, 7}, false, 1}) {}
//       std::unique_ptr<CSkinChildDlg> MakeChild() override { /* new child, copy text and kind */ }
//   };
// and run with `CPromptDlg dlg; dlg.m_scale = m_scale; dlg.DoModal();`.
#include <memory>
#include <vector>
#include "Dialog.h"
#include "GdiPlus.h"
#include "HoverTarget.h"

class CSkinChildDlg;

namespace skin {

// How a host composes its frame and places its child; lengths are design pixels (scale 1).
struct HostFrame {
    SIZE size;          // host size
    UINT frameImage;    // PNG stretched over the host
    RECT childInsets;   // child at (L + left, T + top, W - right, H - bottom) as left/top/width/height
    RECT followInsets;  // child at (L + left, T + top, R - right, B - bottom) while following
    bool topLevel;      // computes the screen's scale and centres the pair on the primary screen
    int followFlag;     // starting value of the follow flag
};

// The drag strip of a child: the top `height` pixels, less `rightMargin` at the right.
// Raw pixels; a height of 0 makes the child not draggable.
struct DragStrip {
    int height;
    int rightMargin;
};

// The strip in screen coordinates for a client rectangle given in screen coordinates.
RECT DragStripRect(const RECT& clientOnScreen, DragStrip strip);
// The host's rectangle for a child rectangle (MoveWithChild): grown by the follow insets.
RECT HostRectAroundChild(const RECT& child, const RECT& followInsets, float scale);
// The child's rectangle while it follows its host.
RECT ChildRectInHost(const RECT& host, const RECT& followInsets, float scale);
// The child's first rectangle inside a host rectangle (childInsets as left/top/width/height).
RECT FirstChildRect(const RECT& host, const RECT& childInsets, float scale);

bool IsEscapeOrEnter(const MSG* msg);

}  // namespace skin

class CSkinHostDlg : public CDialog {
public:
    float m_scale = 1.0f;

    // Called by a dragged child with its window rectangle (screen): the host follows from now on.
    int MoveWithChild(int left, int top, int right, int bottom);
    CSkinChildDlg* Child() const { return child_.get(); }
    int FollowFlag() const { return follow_; }
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    CSkinHostDlg(UINT templateId, const skin::HostFrame& frame, CWnd* parent = nullptr);
    // Makes the child object with the caller's data copied into it (its window is made by the host).
    virtual std::unique_ptr<CSkinChildDlg> MakeChild() = 0;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    virtual void OnMove();
    virtual void OnDestroy();

    bool m_swallowEscEnter = false;

private:
    bool ComposeFrame(int width, int height);

    skin::HostFrame frame_;
    ui::GdiplusImage image_;
    std::unique_ptr<CSkinChildDlg> child_;
    int follow_;
};

class CSkinChildDlg : public CDialog {
public:
    float m_scale = 1.0f;
    CSkinHostDlg* m_host = nullptr;

    BOOL Create(CWnd* parent) { return CDialog::Create(templateId_, parent); }
    // Places the controls; the host runs it after showing the child.
    virtual void Layout() {}
    int CaptionFlag() const { return captionFlag_; }
    const ui::GdiplusImage& Background() const { return background_; }
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    CSkinChildDlg(UINT templateId, UINT backgroundImage, skin::DragStrip strip, UINT hoverTimerId,
                  int captionFlag = 0);
    // Controls that take part in the hover checks of the hit test and of the hover timer.
    void TrackHover(skin::HoverTarget& target) { hoverTargets_.push_back(&target); }

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual LRESULT OnNcHitTest(LPARAM lp);
    virtual void OnMove();
    virtual void OnTimer(UINT_PTR id);
    virtual void OnDestroy();
    void CheckHover(int x, int y);

    bool m_swallowEscEnter = false;
    bool m_offscreenBackground = false;  // draws the background off screen first
    ui::GdiplusImage background_;

private:
    UINT templateId_;
    UINT backgroundId_;
    skin::DragStrip strip_;
    UINT hoverTimerId_;
    int captionFlag_;
    std::vector<skin::HoverTarget*> hoverTargets_;
};
