#include "CheckBoxes.h"

#include "PngResource.h"
#include "SkinScale.h"

namespace skin {

RECT PngCheckBoxBox(const RECT& c) { return RECT{c.left, c.top, c.left + Height(c), c.bottom}; }

RECT PngCheckBoxText(const RECT& c, float scale) {
    RECT r = c;
    r.left += Scaled(17, scale) + 3;  // (int)(s * 17 + 3)
    return r;
}

RECT CheckBoxBtnBox(const RECT& c, float scale) {
    const int side = Scaled(16, scale);
    const int top = Height(c) / 2 - Scaled(8, scale);
    return RECT{c.left, top, c.left + side, top + side};
}

RECT CheckBoxBtnText(const RECT& c, float scale) {
    RECT r = c;
    r.left += Scaled(16, scale) + 2;
    return r;
}

}  // namespace skin

void CSkinCheckBox::OnPaint() {
    skin::PaintOffscreen(m_hWnd, &surface_, brush_.Get(), [this](HDC dc, const RECT& client) {
        RECT text{};
        {
            ui::GdiplusGraphics g(dc);
            if (!DrawBox(g, client, text)) return;
        }
        ui::SelectionRestorer font(dc, font_.Get());
        ::SetTextColor(dc, textColor_);
        CString caption = GetWindowText();
        ::DrawTextW(dc, caption, caption.GetLength(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    });
}

LRESULT CSkinCheckBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        OnPaint();
        return 0;
    }
    LRESULT result = DefWindowProc(msg, wp, lp);
    if (skin::SystemButtonDrawsItself(msg)) Invalidate(FALSE);
    return result;
}

bool CPngCheckBoxEx::DrawBox(ui::GdiplusGraphics& g, const RECT& client, RECT& text) {
    if (!ticked_) skin::LoadPngResource(skin::kPngCheckTickedId, ticked_);
    if (!unticked_) skin::LoadPngResource(skin::kPngCheckUntickedId, unticked_);
    if (!ticked_ || !unticked_) return false;
    if (background_ && *background_)
        g.DrawImage(*background_, client.left, client.top, skin::Width(client), skin::Height(client), bgRect_.left,
                    bgRect_.top, skin::Width(bgRect_), skin::Height(bgRect_));
    RECT box = skin::PngCheckBoxBox(client);
    g.DrawImage(Ticked() ? ticked_ : unticked_, box.left, box.top, skin::Width(box), skin::Height(box), 0, 0, 17, 17);
    text = skin::PngCheckBoxText(client, m_scale);
    return true;
}

bool CCheckBoxBtn::DrawBox(ui::GdiplusGraphics& g, const RECT& client, RECT& text) {
    if (!strip_) skin::LoadPngResource(skin::kCheckStripId, strip_);
    if (!strip_) return false;
    RECT box = skin::CheckBoxBtnBox(client, m_scale);
    g.DrawImage(strip_, box.left, box.top, skin::Width(box), skin::Height(box), Ticked() ? 16 : 0, 0, 16, 16);
    text = skin::CheckBoxBtnText(client, m_scale);
    return true;
}
