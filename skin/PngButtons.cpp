#include "PngButtons.h"

#include "PngResource.h"

using skin::ButtonEvent;

CPngButton::CPngButton(skin::ButtonKind kind) : kind_(kind), brush_(::CreateSolidBrush(RGB(255, 255, 255))) {}

BOOL CPngButton::SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    const UINT ids[4] = {normal, hover, pressed, disabled};
    BOOL ok = FALSE;
    for (int i = 0; i < 4; ++i) {
        images_[i].Reset();
        ok = skin::LoadPngResource(ids[i], images_[i]);
    }
    return ok;
}

void CPngButton::FreeImages() {
    for (auto& image : images_) image.Reset();
}

void CPngButton::CheckMouseLeave(int x, int y) {
    if (!m_hWnd) return;
    RECT r = HitRect(GetWindowRect());
    Apply(ButtonEvent::LeaveCheck, skin::PointInRect(r, x, y));
}

void CPngButton::Apply(ButtonEvent event, bool inside) {
    skin::ButtonStatus next = skin::NextButtonStatus(kind_, event, IsWindowEnabled() != FALSE, inside, status_);
    bool repaint = next.state != status_.state;
    status_ = next;
    if (repaint) skin::InvalidateErase(m_hWnd);
}

bool CPngButton::ImagesComplete() const {
    for (const auto& image : images_)
        if (!image) return false;
    return true;
}

RECT CPngButton::Destination() const {
    const ui::GdiplusImage& image = images_[status_.state - 1];
    if (stretch_) return client_;
    return RECT{client_.left, client_.top, client_.left + static_cast<int>(image.Width()),
                client_.top + static_cast<int>(image.Height())};
}

void CPngButton::DrawImages(ui::GdiplusGraphics& g, const RECT& dest) {
    const ui::GdiplusImage& image = images_[status_.state - 1];
    // The source stops one pixel short of the image's right and bottom edges.
    g.DrawImage(image, dest.left, dest.top, skin::Width(dest), skin::Height(dest), 0, 0,
                static_cast<int>(image.Width()) - 1, static_cast<int>(image.Height()) - 1);
}

void CPngButton::OnPaint() {
    skin::PaintOffscreen(m_hWnd, &surface_, brush_.Get(), [this](HDC dc, const RECT& client) {
        client_ = client;
        if (status_.state < 1 || status_.state > 4 || !ImagesComplete()) return;
        ui::GdiplusGraphics g(dc);
        DrawImages(g, Destination());
    });
}

LRESULT CPngButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_NCHITTEST: {
            RECT r = HitRect(GetWindowRect());
            Apply(ButtonEvent::HitTest, skin::PointInRect(r, skin::XFromLParam(lp), skin::YFromLParam(lp)));
            return DefWindowProc(msg, wp, lp);
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            RECT r = HitRect(GetClientRect());
            Apply(msg == WM_LBUTTONDOWN ? ButtonEvent::ButtonDown : ButtonEvent::ButtonUp,
                  skin::PointInRect(r, skin::XFromLParam(lp), skin::YFromLParam(lp)));
            break;
        }
    }
    if (skin::SystemButtonDrawsItself(msg)) {
        LRESULT result = DefWindowProc(msg, wp, lp);
        Invalidate(FALSE);
        return result;
    }
    return DefWindowProc(msg, wp, lp);
}

BOOL CFeaturePngButton::LoadBackground(UINT id) {
    background_.Reset();
    return skin::LoadPngResource(id, background_);
}

void CFeaturePngButton::RefreshState() {
    if (!m_hWnd) return;
    CPngButton::Apply(ButtonEvent::LeaveCheck, false);  // enabled: back to normal; disabled: 4
    Invalidate(TRUE);
}

void CFeaturePngButton::FreeImages() {
    CPngButton::FreeImages();
    background_.Reset();
}

RECT CFeaturePngButton::HitRect(const RECT& r) const {
    return skin::Deflated(r, insets_.left, insets_.top, insets_.right, insets_.bottom);
}

bool CFeaturePngButton::ImagesComplete() const { return background_ && CPngButton::ImagesComplete(); }

void CFeaturePngButton::DrawImages(ui::GdiplusGraphics& g, const RECT& dest) {
    const int w = skin::Width(dest), h = skin::Height(dest);
    g.DrawImage(background_, dest.left, dest.top, w, h, bgRect_.left, bgRect_.top, skin::Width(bgRect_),
                skin::Height(bgRect_));
    const ui::GdiplusImage& image = images_[State() - 1];
    g.DrawImage(image, dest.left, dest.top, w, h, 0, 0, static_cast<int>(image.Width()),
                static_cast<int>(image.Height()));
}
