#pragma once
// A host and child pair carrying one of every skinned control, laid out at fixed pixels.
#include <memory>
#include "CheckBoxes.h"
#include "DrawStateInfoStatic.h"
#include "DrawTextStatic.h"
#include "PngButtons.h"
#include "SkinDialogs.h"
#include "SkinTestResources.h"
#include "TextVcenterEdit.h"

class TestChild : public CSkinChildDlg {
public:
    static constexpr UINT kHoverTimer = 34;
    explicit TestChild(int captionFlag = 0)
        : CSkinChildDlg(IDD_TEST_CHILD, IDP_CHILD_BACKGROUND, skin::DragStrip{30, 26}, kHoverTimer, captionFlag) {}

    CPngButton png;
    CFeaturePngButton feature;
    CPngCheckBoxEx check;
    CCheckBoxBtn checkBtn;
    CDrawTextStatic text;
    CDrawStateInfoStatic state;
    CTextVcenterEdit edit;
    ui::UniqueFont editFont;
    int pngClicks = 0;
    int featureClicks = 0;

    void Layout() override;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class TestHost : public CSkinHostDlg {
public:
    // A top-level host centres the pair on the screen: its child leads (caption flag 1) and it follows.
    explicit TestHost(bool topLevel = false)
        : CSkinHostDlg(IDD_TEST_HOST, skin::HostFrame{{300, 200}, IDP_HOST_FRAME, {5, 4, 10, 11}, {5, 4, 5, 7},
                                                      topLevel, topLevel ? 0 : 1}),
          topLevel_(topLevel) {}
    TestChild* TheChild() const { return static_cast<TestChild*>(Child()); }

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override { return std::make_unique<TestChild>(topLevel_ ? 1 : 0); }

private:
    bool topLevel_;
};
