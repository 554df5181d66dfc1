#pragma once
// Skinned scroll bars for any window that has system ones. The target is wrapped at run time:
// a frame window takes its place, the target moves into the frame's clipping child "LIMIT" so
// that its own bars are cut away, and two CSkinScrollBar mirror and drive its scroll state.
// The frame belongs to the target: destroying the target (or the frame's parent) removes it.
#include "SkinScrollBar.h"

constexpr UINT WM_SKIN_RELAYOUT = WM_USER + 100;

class CSkinScrollWnd : public CWnd {
public:
    static constexpr UINT kHorzBarId = 100;
    static constexpr UINT kVertBarId = 101;
    static constexpr UINT kLimitId = 200;
    static constexpr UINT_PTR kSyncTimer = 100;

    float m_scale = 1.0f;
    int m_thumbCap = 0;

    // The skin is borrowed and must outlive the frame.
    BOOL Attach(HWND target, HBITMAP skin);
    int Thickness() const { return thickness_; }
    int CornerKind() const { return corner_; }
    CSkinScrollBar& VertBar() { return vert_; }
    CSkinScrollBar& HorzBar() { return horz_; }
    HWND Limit() const { return limit_.m_hWnd; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override { delete this; }

private:
    static LRESULT CALLBACK TargetHook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    void Unhook();
    // The target goes away first: it is put back in the frame's place and the frame is destroyed.
    void DetachFromDestroyedTarget();
    void SyncBar(CSkinScrollBar& bar, int which, BOOL redraw);
    void AfterTargetNcCalcSize(NCCALCSIZE_PARAMS* params);
    void OnScroll(UINT msg, WPARAM wp, LPARAM lp);
    void OnPaintCorner();
    void OnRelayout(bool vertical, bool leftBar);

    int thickness_ = 16;
    CSkinScrollBar horz_;
    CSkinScrollBar vert_;
    CWnd limit_;
    HBITMAP skin_ = nullptr;
    BOOL relaying_ = FALSE;
    int corner_ = 0;
    HWND target_ = nullptr;
};

// Wraps target in a new frame with skinned bars; returns the frame (owned by the target), or null.
CSkinScrollWnd* AttachSkinScrollBars(CWnd* target, HBITMAP skin, float scale, int thumbCap);
CSkinScrollWnd* AttachSkinScrollBars(HWND target, HBITMAP skin, float scale, int thumbCap);
