#pragma once
// A one-line status text followed by dots that a worker thread animates.
// The thread is stopped and joined before the control's window or object goes away.
#include <atomic>
#include "Controls.h"
#include "GdiPlus.h"
#include "SkinDraw.h"
#include "win/UniqueHandle.h"

class CDrawStateInfoStatic : public CStatic {
public:
    CDrawStateInfoStatic();
    ~CDrawStateInfoStatic() override;

    void CreateFontFromParent() { font_ = skin::CreateFontFromParent(m_hWnd); }
    void SetTextColor(COLORREF color);
    void SetAlign(int align) { align_ = align; }
    void SetBackground(const ui::GdiplusImage* image) { background_ = image; }
    void SetBackgroundRect(int left, int top, int right, int bottom) { bgRect_ = RECT{left, top, right, bottom}; }

    // Starts the dots: none for 500 ms, then one more every 600 ms, wrapping after three.
    void StartAnimation();
    // Stops and joins the thread, clears the dots and repaints.
    void StopAnimation();

    int DotCount() const { return dots_.load(); }
    bool Animating() const { return thread_.Valid(); }
    // The text as painted: window text and dots.
    CString DisplayText() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static DWORD WINAPI ThreadMain(void* self);
    void RunDots();
    void JoinThread();
    void OnPaint();

    ui::UniqueBrush brush_;
    ui::UniqueFont font_;
    COLORREF textColor_ = 0;
    std::atomic<int> dots_{0};
    int align_ = 0;
    const ui::GdiplusImage* background_ = nullptr;
    RECT bgRect_{};
    std::atomic<int> stop_{0};
    util::win::UniqueHandle stopEvent_;
    util::win::UniqueHandle thread_;
    HWND threadTarget_ = nullptr;  // the window the thread invalidates
};
