#include "SkinDialogs.h"

#include "GdiHandles.h"
#include "PngResource.h"
#include "SkinDraw.h"
#include "SkinScale.h"

using skin::Scaled;

namespace skin {

RECT DragStripRect(const RECT& c, DragStrip strip) {
    return RECT{c.left, c.top, c.right - strip.rightMargin, c.top + strip.height};
}

RECT HostRectAroundChild(const RECT& c, const RECT& f, float s) {
    return RECT{c.left - Scaled(f.left, s), c.top - Scaled(f.top, s),
                c.right + Scaled(f.right, s), c.bottom + Scaled(f.bottom, s)};
}

RECT ChildRectInHost(const RECT& h, const RECT& f, float s) {
    return RECT{h.left + Scaled(f.left, s), h.top + Scaled(f.top, s),
                h.right - Scaled(f.right, s), h.bottom - Scaled(f.bottom, s)};
}

RECT FirstChildRect(const RECT& h, const RECT& ci, float s) {
    const int left = h.left + Scaled(ci.left, s);
    const int top = h.top + Scaled(ci.top, s);
    const int width = Width(h) - Scaled(ci.right, s);
    const int height = Height(h) - Scaled(ci.bottom, s);
    return RECT{left, top, left + width, top + height};
}

bool IsEscapeOrEnter(const MSG* msg) {
    return msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN);
}

}  // namespace skin

// ---- host ----

CSkinHostDlg::CSkinHostDlg(UINT templateId, const skin::HostFrame& frame, CWnd* parent)
    : CDialog(templateId, parent), frame_(frame), follow_(frame.followFlag) {}

bool CSkinHostDlg::ComposeFrame(int width, int height) {
    ui::WindowDC windowDc(m_hWnd);
    ui::MemoryDC memory(windowDc);
    // A 32-bit DIB keeps the PNG's alpha channel for the layered update.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::UniqueBitmap bitmap(::CreateDIBSection(windowDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !memory) return false;
    ui::SelectionRestorer select(memory, bitmap.Get());
    ui::GdiplusGraphics g(memory);
    if (!image_ && !skin::LoadPngResource(frame_.frameImage, image_)) return false;
    g.DrawImage(image_, 0, 0, width, height);

    RECT wr = GetWindowRect();
    POINT at{wr.left, wr.top}, origin{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, windowDc, &at, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    return true;
}

BOOL CSkinHostDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (frame_.topLevel) m_scale = skin::ScreenDisplayScale();
    const int width = Scaled(frame_.size.cx, m_scale);
    const int height = Scaled(frame_.size.cy, m_scale);
    RECT centred{};
    centred.left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    centred.top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    centred.right = centred.left + width;
    centred.bottom = centred.top + height;

    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (!ComposeFrame(width, height)) return TRUE;  // no frame image: no child either

    RECT base = frame_.topLevel ? centred : GetWindowRect();
    child_ = MakeChild();
    if (!child_) return TRUE;
    child_->m_scale = m_scale;
    child_->m_host = this;
    if (!child_->Create(this)) return TRUE;
    child_->MoveWindow(skin::FirstChildRect(base, frame_.childInsets, m_scale));
    child_->ShowWindow(SW_SHOW);
    child_->Layout();
    return TRUE;
}

int CSkinHostDlg::MoveWithChild(int left, int top, int right, int bottom) {
    follow_ = 0;
    skin::MoveWindowTo(m_hWnd, skin::HostRectAroundChild(RECT{left, top, right, bottom}, frame_.followInsets, m_scale));
    return 0;
}

void CSkinHostDlg::OnMove() {
    if (follow_ && child_ && child_->m_hWnd)
        skin::MoveWindowTo(child_->m_hWnd, skin::ChildRectInHost(GetWindowRect(), frame_.followInsets, m_scale));
}

void CSkinHostDlg::OnDestroy() {
    image_.Reset();
    if (child_ && child_->m_hWnd) child_->DestroyWindow();
    child_.reset();
}

BOOL CSkinHostDlg::PreTranslateMessage(MSG* msg) {
    if (m_swallowEscEnter && skin::IsEscapeOrEnter(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CSkinHostDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOVE: OnMove(); break;
        case WM_DESTROY: OnDestroy(); break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

// ---- child ----

CSkinChildDlg::CSkinChildDlg(UINT templateId, UINT backgroundImage, skin::DragStrip strip, UINT hoverTimerId,
                             int captionFlag)
    : CDialog(templateId), templateId_(templateId), backgroundId_(backgroundImage), strip_(strip),
      hoverTimerId_(hoverTimerId), captionFlag_(captionFlag) {}

BOOL CSkinChildDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (hoverTimerId_) SetTimer(hoverTimerId_, 100);
    return TRUE;
}

void CSkinChildDlg::CheckHover(int x, int y) {
    for (skin::HoverTarget* target : hoverTargets_) target->CheckHover(x, y);
}

BOOL CSkinChildDlg::OnEraseBkgnd(HDC dc) {
    if (!background_ && !skin::LoadPngResource(backgroundId_, background_)) return TRUE;
    RECT client = GetClientRect();
    const int w = skin::Width(client), h = skin::Height(client);
    auto draw = [&](HDC target) {
        ui::GdiplusGraphics g(target);
        g.SetHighQuality();
        g.DrawImage(background_, 0, 0, w, h, 0, 0, static_cast<int>(background_.Width()),
                    static_cast<int>(background_.Height()));
    };
    if (m_offscreenBackground) {
        ui::OffscreenBitmap off(dc, w, h);
        draw(off.Dc());
        skin::CopyBits(dc, 0, 0, w, h, off.Dc());
    } else {
        draw(dc);
    }
    return TRUE;
}

LRESULT CSkinChildDlg::OnNcHitTest(LPARAM lp) {
    const int x = skin::XFromLParam(lp), y = skin::YFromLParam(lp);
    CheckHover(x, y);
    LRESULT hit = ::DefWindowProcW(m_hWnd, WM_NCHITTEST, 0, lp);
    if (strip_.height <= 0) return hit;
    RECT client = GetClientRect();
    ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    captionFlag_ = skin::PointInRect(skin::DragStripRect(client, strip_), x, y) ? 1 : 0;
    return captionFlag_ ? HTCAPTION : hit;
}

void CSkinChildDlg::OnMove() {
    if (strip_.height > 0 && captionFlag_ && m_host) {
        RECT r = GetWindowRect();
        m_host->MoveWithChild(r.left, r.top, r.right, r.bottom);
    }
}

void CSkinChildDlg::OnTimer(UINT_PTR id) {
    if (id != hoverTimerId_) return;
    POINT pt{};
    ::GetCursorPos(&pt);
    if (!skin::PointInWindow(m_hWnd, pt.x, pt.y)) CheckHover(pt.x, pt.y);
}

void CSkinChildDlg::OnDestroy() {
    if (hoverTimerId_) KillTimer(hoverTimerId_);
    background_.Reset();
}

BOOL CSkinChildDlg::PreTranslateMessage(MSG* msg) {
    if (m_swallowEscEnter && skin::IsEscapeOrEnter(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CSkinChildDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
        case WM_NCHITTEST: return OnNcHitTest(lp);
        case WM_MOVE: OnMove(); break;
        case WM_TIMER:
            if (wp == hoverTimerId_) { OnTimer(wp); return 0; }
            break;
        case WM_DESTROY: OnDestroy(); break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
