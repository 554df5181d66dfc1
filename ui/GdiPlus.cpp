#include "GdiPlus.h"

namespace ui {

using namespace Gdiplus;

GdiplusSession::GdiplusSession() {
    GdiplusStartupInput input;
    if (GdiplusStartup(&token_, &input, nullptr) != Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) GdiplusShutdown(token_);
}

GdiplusImage& GdiplusImage::operator=(GdiplusImage&& o) noexcept {
    if (this != &o) {
        Reset();
        image_ = std::exchange(o.image_, nullptr);
        block_ = std::exchange(o.block_, nullptr);
    }
    return *this;
}

UINT GdiplusImage::Width() const {
    UINT w = 0;
    if (image_) DllExports::GdipGetImageWidth(image_, &w);
    return w;
}

UINT GdiplusImage::Height() const {
    UINT h = 0;
    if (image_) DllExports::GdipGetImageHeight(image_, &h);
    return h;
}

void GdiplusImage::Reset() {
    if (image_) DllExports::GdipDisposeImage(image_);
    image_ = nullptr;
    if (block_) ::GlobalFree(block_);
    block_ = nullptr;
}

GdiplusGraphics::GdiplusGraphics(HDC dc) {
    if (DllExports::GdipCreateFromHDC(dc, &g_) != Ok) g_ = nullptr;
}

GdiplusGraphics::~GdiplusGraphics() {
    if (g_) DllExports::GdipDeleteGraphics(g_);
}

void GdiplusGraphics::SetHighQuality() {
    if (g_) DllExports::GdipSetSmoothingMode(g_, SmoothingModeHighQuality);
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y, int w, int h, int sx, int sy, int sw,
                                int sh) {
    if (!g_ || !image) return;
    DllExports::GdipDrawImageRectRectI(g_, image.Get(), x, y, w, h, sx, sy, sw, sh, UnitPixel, nullptr, nullptr,
                                       nullptr);
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y, int w, int h) {
    if (!g_ || !image) return;
    DllExports::GdipDrawImageRectI(g_, image.Get(), x, y, w, h);
}

}  // namespace ui
