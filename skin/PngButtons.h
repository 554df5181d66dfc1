#pragma once
// Push buttons painted from four state images (normal, hover, pressed, disabled).
// Clicks, focus and BN_CLICKED stay with the system button underneath.
#include "ButtonState.h"
#include "Controls.h"
#include "GdiPlus.h"
#include "HoverTarget.h"
#include "SkinDraw.h"

class CPngButton : public CButton, public skin::HoverTarget {
public:
    CPngButton() : CPngButton(skin::ButtonKind::Png) {}

    // Loads the four state images; returns the result of the last load.
    BOOL SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled);
    void SetStretch(BOOL stretch) { stretch_ = stretch; }
    // Hover-leave check with a point in screen coordinates.
    void CheckMouseLeave(int x, int y);
    void CheckHover(int x, int y) override { CheckMouseLeave(x, y); }
    virtual void FreeImages();

    int State() const { return status_.state; }
    int PressedFlag() const { return status_.pressed; }

protected:
    explicit CPngButton(skin::ButtonKind kind);
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Shrinks a rectangle used for hover and press tests.
    virtual RECT HitRect(const RECT& r) const { return r; }
    virtual void DrawImages(ui::GdiplusGraphics& g, const RECT& dest);
    virtual bool ImagesComplete() const;
    RECT Destination() const;
    void Apply(skin::ButtonEvent event, bool inside);

    ui::GdiplusImage images_[4];

private:
    void OnPaint();

    skin::ButtonKind kind_;
    skin::OffscreenSurface surface_;
    ui::UniqueBrush brush_;
    RECT client_{};
    skin::ButtonStatus status_;
    BOOL stretch_ = FALSE;
};

// A large button over a textured background: the background region is drawn under the
// state image, and hover and press tests ignore an inset margin.
class CFeaturePngButton : public CPngButton {
public:
    CFeaturePngButton() : CPngButton(skin::ButtonKind::Feature) {}

    BOOL LoadBackground(UINT id);
    void SetBackgroundRect(int left, int top, int right, int bottom) { bgRect_ = RECT{left, top, right, bottom}; }
    void SetHitInsets(int left, int top, int right, int bottom) { insets_ = RECT{left, top, right, bottom}; }
    // State 1 when enabled, 4 when not, and repaint.
    void RefreshState();
    void FreeImages() override;

protected:
    RECT HitRect(const RECT& r) const override;
    void DrawImages(ui::GdiplusGraphics& g, const RECT& dest) override;
    bool ImagesComplete() const override;

private:
    ui::GdiplusImage background_;
    RECT bgRect_{};
    RECT insets_{};
};
