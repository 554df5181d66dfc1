#pragma once
// Owners and borrowers of GDI handles. Owners are move-only; a Borrowed... type never frees.
#include <windows.h>
#include <utility>

namespace ui {

// Owns an HBITMAP, HFONT, HBRUSH or other object that DeleteObject frees.
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T h) : h_(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& o) noexcept : h_(o.Release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) Reset(o.Release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    T Release() { T h = h_; h_ = nullptr; return h; }
    void Reset(T h = nullptr) {
        if (h_) ::DeleteObject(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};

using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;

// Owns a memory DC from CreateCompatibleDC.
class MemoryDC {
public:
    MemoryDC() = default;
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() { Reset(); }
    MemoryDC(MemoryDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
    MemoryDC& operator=(MemoryDC&& o) noexcept {
        if (this != &o) { Reset(); dc_ = std::exchange(o.dc_, nullptr); }
        return *this;
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void Reset() {
        if (dc_) ::DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

// A window's DC for one scope: GetDC (client) or GetWindowDC (whole window), then ReleaseDC.
class WindowDC {
public:
    enum Area { Client, Whole };
    explicit WindowDC(HWND wnd, Area area = Client)
        : wnd_(wnd), dc_(area == Client ? ::GetDC(wnd) : ::GetWindowDC(wnd)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(wnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &ps_); }
    ~PaintDC() { ::EndPaint(wnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
// Declare it after the owners of the DC and of the object so that it is undone first.
class SelectionRestorer {
public:
    SelectionRestorer(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectionRestorer() { if (old_) ::SelectObject(dc_, old_); }
    SelectionRestorer(const SelectionRestorer&) = delete;
    SelectionRestorer& operator=(const SelectionRestorer&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A bitmap of a given size selected into a fresh memory DC, for drawing off screen.
class OffscreenBitmap {
public:
    OffscreenBitmap(HDC compatibleWith, int width, int height)
        : bitmap_(::CreateCompatibleBitmap(compatibleWith, width > 0 ? width : 1, height > 0 ? height : 1)),
          dc_(compatibleWith),
          select_(dc_, bitmap_.Get()) {}
    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    explicit operator bool() const { return bitmap_ && dc_; }

private:
    UniqueBitmap bitmap_;
    MemoryDC dc_;
    SelectionRestorer select_;
};

}  // namespace ui
