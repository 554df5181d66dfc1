#pragma once
// GDI+ (flat interface) start-up and owners of its objects.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <utility>

namespace ui {

// Starts GDI+ for its lifetime; create it before, and let it outlive, every GDI+ object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// Owns a GDI+ image and, when it was read from memory, the global block its stream reads from.
class GdiplusImage {
public:
    GdiplusImage() = default;
    GdiplusImage(Gdiplus::GpImage* image, HGLOBAL block) : image_(image), block_(block) {}
    ~GdiplusImage() { Reset(); }
    GdiplusImage(GdiplusImage&& o) noexcept
        : image_(std::exchange(o.image_, nullptr)), block_(std::exchange(o.block_, nullptr)) {}
    GdiplusImage& operator=(GdiplusImage&& o) noexcept;
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;

    Gdiplus::GpImage* Get() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    UINT Width() const;
    UINT Height() const;
    void Reset();

private:
    Gdiplus::GpImage* image_ = nullptr;
    HGLOBAL block_ = nullptr;
};

// A GDI+ graphics object on a DC for one paint.
class GdiplusGraphics {
public:
    explicit GdiplusGraphics(HDC dc);
    ~GdiplusGraphics();
    GdiplusGraphics(const GdiplusGraphics&) = delete;
    GdiplusGraphics& operator=(const GdiplusGraphics&) = delete;
    Gdiplus::GpGraphics* Get() const { return g_; }
    explicit operator bool() const { return g_ != nullptr; }
    void SetHighQuality();
    // Draws a source rectangle of the image into a destination rectangle, in pixel units.
    void DrawImage(const GdiplusImage& image, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
    // Draws the whole image into a destination rectangle.
    void DrawImage(const GdiplusImage& image, int x, int y, int w, int h);

private:
    Gdiplus::GpGraphics* g_ = nullptr;
};

}  // namespace ui
