#pragma once
// A one-line status text followed by dots that a worker thread animates.
// The thread is stopped and joined before the control's window or object goes away.
#include <atomic>
#include "Controls.h"
#include "GdiPlus.h"
#include "SkinDraw.h"
#include "win/UniqueHandle.h"

// What the dots thread pauses with. The control's own waits on the stop event; a test gives one
// it steps itself, so that the dots follow its steps and not the machine's speed.
class DotsPacer {
public:
    virtual ~DotsPacer() = default;
    // Pauses ms milliseconds, or until stop is signalled; false once it is.
    virtual bool Pause(HANDLE stop, DWORD ms) = 0;
};

class CDrawStateInfoStatic : public CStatic {
public:
    static constexpr DWORD kFirstDotMs = 500;
    static constexpr DWORD kNextDotMs = 600;

    CDrawStateInfoStatic();
    ~CDrawStateInfoStatic() override;

    void CreateFontFromParent() { font_ = skin::CreateFontFromParent(m_hWnd); }
    void SetTextColor(COLORREF color);
    void SetAlign(int align) { align_ = align; }
    void SetBackground(const ui::GdiplusImage* image) { background_ = image; }
    void SetBackgroundRect(int left, int top, int right, int bottom) { bgRect_ = RECT{left, top, right, bottom}; }

    // Starts the dots: none for kFirstDotMs, then one more every kNextDotMs, wrapping after three.
    void StartAnimation();
    // The pacer of the next animation (borrowed; null: the control's own waits).
    void UsePacer(DotsPacer* pacer) { pacer_ = pacer; }
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
    DotsPacer* pacer_ = nullptr;
};
