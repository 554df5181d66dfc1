#pragma once
// Check boxes painted from box images with the window text beside the box.
// The check state is the system button's (BM_GETCHECK; only 1 is drawn ticked).
#include "Controls.h"
#include "GdiPlus.h"
#include "SkinDraw.h"

namespace skin {

// Image ids the check boxes load themselves.
constexpr UINT kPngCheckTickedId = 204;    // 17 x 17
constexpr UINT kPngCheckUntickedId = 205;  // 17 x 17
constexpr UINT kCheckStripId = 154;        // 48 x 16: unticked at x 0, ticked at x 16

// Geometry of CPngCheckBoxEx: the box is the client-height square at the top-left.
RECT PngCheckBoxBox(const RECT& client);
RECT PngCheckBoxText(const RECT& client, float scale);
// Geometry of CCheckBoxBtn: a 16 x 16 (scaled) box centred vertically at the left.
RECT CheckBoxBtnBox(const RECT& client, float scale);
RECT CheckBoxBtnText(const RECT& client, float scale);

}  // namespace skin

// The common paint of both check boxes: fill, box, then the text in the control's font.
class CSkinCheckBox : public CButton {
public:
    void CreateFontFromParent() { font_ = skin::CreateFontFromParent(m_hWnd); }
    void SetTextColor(COLORREF color) { textColor_ = color; }
    float m_scale = 1.0f;

protected:
    explicit CSkinCheckBox(COLORREF fill) : brush_(::CreateSolidBrush(fill)) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Ticked() const { return GetCheck() == BST_CHECKED; }
    // Draws the images; returns the rectangle for the text, or an empty one for none.
    virtual bool DrawBox(ui::GdiplusGraphics& g, const RECT& client, RECT& text) = 0;

private:
    void OnPaint();
    skin::OffscreenSurface surface_;
    ui::UniqueBrush brush_;
    ui::UniqueFont font_;
    COLORREF textColor_ = 0;
};

class CPngCheckBoxEx : public CSkinCheckBox {
public:
    CPngCheckBoxEx() : CSkinCheckBox(RGB(0, 0, 0)) {}
    // Borrowed from the dialog; a null pointer keeps the old one.
    void SetBackgroundImage(const ui::GdiplusImage* image) { if (image) background_ = image; }
    void SetBackgroundRect(int left, int top, int right, int bottom) { bgRect_ = RECT{left, top, right, bottom}; }

protected:
    bool DrawBox(ui::GdiplusGraphics& g, const RECT& client, RECT& text) override;

private:
    const ui::GdiplusImage* background_ = nullptr;
    RECT bgRect_{};
    ui::GdiplusImage ticked_, unticked_;
};

class CCheckBoxBtn : public CSkinCheckBox {
public:
    CCheckBoxBtn() : CSkinCheckBox(RGB(241, 241, 246)) {}

protected:
    bool DrawBox(ui::GdiplusGraphics& g, const RECT& client, RECT& text) override;

private:
    ui::GdiplusImage strip_;
};
