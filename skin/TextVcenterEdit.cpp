#include "TextVcenterEdit.h"

#include "GdiHandles.h"
#include "SkinDraw.h"
#include "TextLayout.h"

void CTextVcenterEdit::OnNcCalcSize(NCCALCSIZE_PARAMS* params) {
    int textHeight = 0;
    {
        ui::WindowDC dc(m_hWnd);
        ui::SelectionRestorer font(dc, GetFont());
        RECT measure{};
        ::DrawTextW(dc, L"Ky", 2, &measure, DT_CALCRECT);
        textHeight = skin::Height(measure);
    }
    skin::EditBands bands =
        skin::ComputeEditBands(skin::Width(m_layoutRect), skin::Height(m_layoutRect), textHeight);
    top_ = bands.top;
    bottom_ = bands.bottom;
    params->rgrc[0].top += bands.offset;
    params->rgrc[0].bottom -= bands.offset;
}

void CTextVcenterEdit::OnNcPaint(WPARAM wp, LPARAM lp) {
    DefWindowProc(WM_NCPAINT, wp, lp);
    ui::WindowDC dc(m_hWnd, ui::WindowDC::Whole);
    ui::UniqueBrush grey(::CreateSolidBrush(RGB(240, 240, 240)));
    skin::FillSolid(dc, bottom_, grey.Get());
    skin::FillSolid(dc, top_, grey.Get());
}

LRESULT CTextVcenterEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCALCSIZE:
            // Only the main rectangle is adjusted; the default calculation is not run.
            OnNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lp));
            return 0;
        case WM_NCPAINT:
            OnNcPaint(wp, lp);
            return 0;
        case WM_GETDLGCODE: {
            RECT client = GetClientRect();
            if (::IsRectEmpty(&client))
                ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
            break;
        }
    }
    return CEdit::WindowProc(msg, wp, lp);
}
