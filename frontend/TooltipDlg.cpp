#include "TooltipDlg.h"

#include "PngResource.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "SkinScrollWnd.h"
#include "UsageTerms.h"
#include "resource.h"

using skin::Scaled;

namespace {

// Height of the frame's bottom band that the child leaves uncovered (design pixels).
constexpr int kBottomBand = 18;

// The child's place in the panel: left +1, top +1, right -2 (raw), bottom -18 (scaled).
RECT ChildRectInPanel(const RECT& panel, float scale) {
    return RECT{panel.left + 1, panel.top + 1, panel.right - 2, panel.bottom - Scaled(kBottomBand, scale)};
}

}  // namespace

// ---- child ----

CTooltipChildDlg::CTooltipChildDlg() : CSkinChildDlg(IDD_TOOLTIP_CHILD, IDB_TOOLTIP_FRAME, skin::DragStrip{0, 0}, 0) {}

BOOL CTooltipChildDlg::OnEraseBkgnd(HDC dc) {
    if (!background_ && !skin::LoadPngResource(IDB_TOOLTIP_FRAME, background_)) return TRUE;
    const RECT client = GetClientRect();
    const int w = skin::Width(client), h = skin::Height(client);
    // The panel's image without its bottom band, through an off-screen bitmap.
    ui::OffscreenBitmap off(dc, w, h);
    if (!off) return TRUE;
    {
        ui::GdiplusGraphics g(off.Dc());
        g.SetHighQuality();
        g.DrawImage(background_, 0, 0, w, h, 0, 0, static_cast<int>(background_.Width()) - 1,
                    static_cast<int>(background_.Height()) - kBottomBand);
    }
    skin::CopyBits(dc, 0, 0, w, h, off.Dc());
    return TRUE;
}

void CTooltipChildDlg::Layout() {
    edit_ = GetDlgItem(IDC_TERMS_TEXT);
    if (!edit_) return;
    const int margin = Scaled(8, m_scale);
    skin::MoveWindowTo(edit_, skin::Deflated(GetClientRect(), margin, margin, margin, margin));
    scrollSkin_.Reset(::LoadBitmapW(SkinResourceInstance(), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN)));
    if (scrollSkin_) AttachSkinScrollBars(edit_, scrollSkin_.Get(), m_scale, 0);
    ::SetWindowTextW(edit_, frontend::UsageTermsText());
}

void CTooltipChildDlg::OnDestroy() {
    CSkinChildDlg::OnDestroy();
    // The scroll-bar frame goes with the rich edit, which this window's destruction takes along;
    // the bitmap it borrows is freed once the edit is gone.
    if (edit_ && ::IsWindow(edit_)) ::DestroyWindow(edit_);
    edit_ = nullptr;
    scrollSkin_.Reset();
}

// ---- panel ----

CTooltipDlg::CTooltipDlg()
    : CSkinHostDlg(IDD_TOOLTIP, skin::HostFrame{{504, 322}, IDB_TOOLTIP_FRAME, {1, 1, 3, 19}, {1, 1, 2, 18}, false, 1}) {}

std::unique_ptr<CSkinChildDlg> CTooltipDlg::MakeChild() { return std::make_unique<CTooltipChildDlg>(); }

void CTooltipDlg::OnMove() {
    // The follow flag stays set: nothing drags this child.
    CSkinChildDlg* child = Child();
    if (child && child->m_hWnd) skin::MoveWindowTo(child->m_hWnd, ChildRectInPanel(GetWindowRect(), m_scale));
}

void CTooltipDlg::ShowPanel(bool show) {
    // The child is hidden first: under Wine, hiding it after its frame can block.
    CSkinChildDlg* child = Child();
    if (show) {
        ShowWindow(SW_SHOW);
        if (child) child->ShowWindow(SW_SHOW);
    } else {
        if (child) child->ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
    }
}
