#pragma once
// Wrappers of the system controls the skin builds on. They add only conveniences;
// a skinned control derives from one and overrides WindowProc.
#include "Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CStatic : public CWnd {};

class CEdit : public CWnd {
public:
    void SetReadOnly(BOOL readOnly = TRUE) const { SendMessage(EM_SETREADONLY, readOnly); }
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CScrollBar : public CWnd {
public:
    BOOL SetScrollInfo(const SCROLLINFO& info, BOOL redraw = TRUE) const {
        return SendMessage(SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    BOOL GetScrollInfo(SCROLLINFO& info) const {
        return SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
};
