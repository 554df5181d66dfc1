#include "DrawStateInfoStatic.h"

#include "TextLayout.h"

CDrawStateInfoStatic::CDrawStateInfoStatic()
    : brush_(::CreateSolidBrush(RGB(255, 255, 255))), stopEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CDrawStateInfoStatic::~CDrawStateInfoStatic() { JoinThread(); }

void CDrawStateInfoStatic::SetTextColor(COLORREF color) {
    textColor_ = color;
    if (m_hWnd) skin::InvalidateErase(m_hWnd);
}

void CDrawStateInfoStatic::StartAnimation() {
    JoinThread();
    if (!m_hWnd || !stopEvent_) return;
    stop_ = 0;
    ::ResetEvent(stopEvent_.Get());
    threadTarget_ = m_hWnd;
    thread_.Reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
}

void CDrawStateInfoStatic::StopAnimation() {
    JoinThread();
    dots_ = 0;
    if (m_hWnd) skin::InvalidateErase(m_hWnd);
}

void CDrawStateInfoStatic::JoinThread() {
    stop_ = 1;
    if (!thread_) return;
    if (stopEvent_) ::SetEvent(stopEvent_.Get());
    ::WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
}

DWORD WINAPI CDrawStateInfoStatic::ThreadMain(void* self) {
    try {
        static_cast<CDrawStateInfoStatic*>(self)->RunDots();
    } catch (...) {
    }
    return 0;
}

namespace {

class EventPacer : public DotsPacer {
public:
    bool Pause(HANDLE stop, DWORD ms) override { return ::WaitForSingleObject(stop, ms) != WAIT_OBJECT_0; }
};

}  // namespace

void CDrawStateInfoStatic::RunDots() {
    // A signalled stop event ends every pause at once.
    EventPacer own;
    DotsPacer& pacer = pacer_ ? *pacer_ : own;
    if (!pacer.Pause(stopEvent_.Get(), kFirstDotMs)) return;
    for (;;) {
        if (stop_) return;
        dots_ = (dots_ + 1) % 4;
        ::InvalidateRect(threadTarget_, nullptr, TRUE);
        if (!pacer.Pause(stopEvent_.Get(), kNextDotMs)) return;
    }
}

CString CDrawStateInfoStatic::DisplayText() const { return GetWindowText() + skin::DotsSuffix(dots_); }

void CDrawStateInfoStatic::OnPaint() {
    skin::PaintOffscreen(m_hWnd, nullptr, brush_.Get(), [this](HDC dc, RECT client) {
        ui::SelectionRestorer font(dc, font_.Get());
        ::SetTextColor(dc, textColor_);
        CString text = DisplayText();
        if (background_ && *background_) {
            ui::GdiplusGraphics g(dc);
            g.DrawImage(*background_, 0, 0, skin::Width(client), skin::Height(client), bgRect_.left, bgRect_.top,
                        skin::Width(bgRect_), skin::Height(bgRect_));
        }
        ::DrawTextW(dc, text, text.GetLength(), &client, static_cast<UINT>(skin::StateInfoFormat(align_)));
    });
}

LRESULT CDrawStateInfoStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_DESTROY:
            JoinThread();  // the thread must not outlive the window it paints
            break;
    }
    return CStatic::WindowProc(msg, wp, lp);
}
