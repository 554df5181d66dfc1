#pragma once
// A single-line edit whose text sits vertically centred in a taller box: the non-client
// calculation removes equal bands above and below, painted light grey.
#include "Controls.h"

class CTextVcenterEdit : public CEdit {
public:
    // The edit's rectangle in its dialog; set right before moving the edit there.
    RECT m_layoutRect{};
    RECT TopBand() const { return top_; }
    RECT BottomBand() const { return bottom_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnNcCalcSize(NCCALCSIZE_PARAMS* params);
    void OnNcPaint(WPARAM wp, LPARAM lp);
    RECT bottom_{};
    RECT top_{};
};
