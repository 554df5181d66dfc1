// Pure arithmetic of the skin: scale, dialog placement, button states, text layout.
#include <gtest/gtest.h>

#include "ButtonState.h"
#include "CheckBoxes.h"
#include "SkinDialogs.h"
#include "SkinScale.h"
#include "TextLayout.h"

using namespace skin;

TEST(SkinScaleTest, ScaleFromLogicalPixels) {
    EXPECT_FLOAT_EQ(DisplayScaleFromDpi(96), 1.0f);
    EXPECT_FLOAT_EQ(DisplayScaleFromDpi(100), 1.0f);  // not 0.96 or 1.0 by rounding: exactly 1
    EXPECT_FLOAT_EQ(DisplayScaleFromDpi(101), 1.01f);
    EXPECT_FLOAT_EQ(DisplayScaleFromDpi(120), 1.2f);
    EXPECT_FLOAT_EQ(DisplayScaleFromDpi(144), 1.44f);
}

TEST(SkinScaleTest, ScaledLengthsTruncate) {
    const float s120 = DisplayScaleFromDpi(120), s144 = DisplayScaleFromDpi(144);
    EXPECT_EQ(Scaled(810, s120), 972);
    EXPECT_EQ(Scaled(611, s120), 733);  // 733.2
    EXPECT_EQ(Scaled(336, s144), 483);  // 483.84
    EXPECT_EQ(Scaled(17, s144), 24);    // 24.48
    EXPECT_EQ(Scaled(31.2, s120), 37);  // 37.44
    EXPECT_EQ(Scaled(270.5, 1.0f), 270);
    EXPECT_EQ(Scaled(55, 1.5f), 82);
    EXPECT_EQ(Scaled(-3, 1.5f), -4);  // towards zero
}

TEST(SkinDialogGeometryTest, ChildAndHostRectanglesAtScale) {
    const RECT insets{5, 4, 10, 11}, follow{5, 4, 5, 7};
    RECT host{100, 50, 100 + 972, 50 + 733};
    RECT child = FirstChildRect(host, insets, 1.2f);
    EXPECT_EQ(child.left, 106);
    EXPECT_EQ(child.top, 54);
    EXPECT_EQ(child.right - child.left, 972 - 12);
    EXPECT_EQ(child.bottom - child.top, 733 - 13);

    RECT around = HostRectAroundChild(RECT{200, 100, 500, 300}, follow, 1.2f);
    EXPECT_EQ(around.left, 194);
    EXPECT_EQ(around.top, 96);
    EXPECT_EQ(around.right, 506);
    EXPECT_EQ(around.bottom, 308);
    RECT back = ChildRectInHost(around, follow, 1.2f);
    EXPECT_EQ(back.left, 200);
    EXPECT_EQ(back.bottom, 300);
}

TEST(SkinDialogGeometryTest, DragStripLeavesTheCloseButtonsOut) {
    RECT strip = DragStripRect(RECT{10, 20, 330, 160}, DragStrip{30, 26});
    EXPECT_EQ(strip.top, 20);
    EXPECT_EQ(strip.bottom, 50);
    EXPECT_EQ(strip.right, 304);
}

namespace {
ButtonStatus Next(ButtonKind kind, ButtonEvent e, bool inside, int state, int pressed = 0, bool enabled = true) {
    return NextButtonStatus(kind, e, enabled, inside, ButtonStatus{state, pressed});
}
}  // namespace

TEST(ButtonStateTest, HitTestHoversOnlyFromNormalAndLeavesOnlyFromHover) {
    for (ButtonKind kind : {ButtonKind::Png, ButtonKind::Feature}) {
        EXPECT_EQ(Next(kind, ButtonEvent::HitTest, true, 1).state, 2);
        EXPECT_EQ(Next(kind, ButtonEvent::HitTest, false, 2).state, 1);
        EXPECT_EQ(Next(kind, ButtonEvent::HitTest, true, 3).state, 3);   // pressed stays pressed
        EXPECT_EQ(Next(kind, ButtonEvent::HitTest, false, 3).state, 3);  // even outside
        EXPECT_EQ(Next(kind, ButtonEvent::HitTest, true, 2).state, 2);
    }
}

TEST(ButtonStateTest, PressAndReleaseInsideAndOutside) {
    EXPECT_EQ(Next(ButtonKind::Png, ButtonEvent::ButtonDown, true, 2), (ButtonStatus{3, 1}));
    EXPECT_EQ(Next(ButtonKind::Png, ButtonEvent::ButtonDown, false, 2), (ButtonStatus{2, 0}));
    EXPECT_EQ(Next(ButtonKind::Png, ButtonEvent::ButtonUp, true, 3, 1), (ButtonStatus{2, 0}));
    EXPECT_EQ(Next(ButtonKind::Png, ButtonEvent::ButtonUp, false, 3, 1), (ButtonStatus{3, 1}));

    EXPECT_EQ(Next(ButtonKind::Feature, ButtonEvent::ButtonDown, true, 2), (ButtonStatus{3, 1}));
    EXPECT_EQ(Next(ButtonKind::Feature, ButtonEvent::ButtonDown, false, 2, 1), (ButtonStatus{1, 0}));
    EXPECT_EQ(Next(ButtonKind::Feature, ButtonEvent::ButtonUp, true, 3, 1), (ButtonStatus{2, 0}));
    EXPECT_EQ(Next(ButtonKind::Feature, ButtonEvent::ButtonUp, false, 3, 1), (ButtonStatus{1, 0}));
}

TEST(ButtonStateTest, LeaveCheckResetsAnythingButNormalWhenOutside) {
    for (ButtonKind kind : {ButtonKind::Png, ButtonKind::Feature}) {
        EXPECT_EQ(Next(kind, ButtonEvent::LeaveCheck, false, 3, 1), (ButtonStatus{1, 1}));
        EXPECT_EQ(Next(kind, ButtonEvent::LeaveCheck, true, 3, 1).state, 3);
        EXPECT_EQ(Next(kind, ButtonEvent::LeaveCheck, false, 1).state, 1);
    }
}

TEST(ButtonStateTest, DisabledWindowForcesStateFourOnEveryEvent) {
    for (ButtonKind kind : {ButtonKind::Png, ButtonKind::Feature})
        for (ButtonEvent e : {ButtonEvent::HitTest, ButtonEvent::ButtonDown, ButtonEvent::ButtonUp,
                              ButtonEvent::LeaveCheck})
            for (bool inside : {false, true})
                EXPECT_EQ(Next(kind, e, inside, 2, 1, false), (ButtonStatus{4, 1}));
}

TEST(CheckBoxGeometryTest, BoxAndTextOffsets) {
    const RECT client{0, 0, 117, 17};
    RECT box = PngCheckBoxBox(client);
    EXPECT_EQ(box.right, 17);
    EXPECT_EQ(PngCheckBoxText(client, 1.0f).left, 20);
    EXPECT_EQ(PngCheckBoxText(RECT{0, 0, 140, 24}, 1.44f).left, 27);  // (int)(24.48 + 3)

    RECT btn = CheckBoxBtnBox(RECT{0, 0, 100, 21}, 1.0f);
    EXPECT_EQ(btn.top, 2);  // 21 / 2 - 8
    EXPECT_EQ(btn.bottom - btn.top, 16);
    EXPECT_EQ(CheckBoxBtnText(client, 1.0f).left, 18);
    RECT big = CheckBoxBtnBox(RECT{0, 0, 100, 30}, 1.5f);
    EXPECT_EQ(big.top, 3);
    EXPECT_EQ(big.right, 24);
    EXPECT_EQ(CheckBoxBtnText(client, 1.5f).left, 26);
}

TEST(TextLayoutTest, StaticFormatsFollowTheirTables) {
    EXPECT_EQ(DrawTextStaticFormat(0), DT_WORDBREAK | DT_VCENTER);
    EXPECT_EQ(DrawTextStaticFormat(2), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(DrawTextStaticFormat(3), DT_RIGHT | DT_VCENTER | DT_WORDBREAK);
    EXPECT_EQ(DrawTextStaticFormat(4), DrawTextStaticFormat(1));
    EXPECT_EQ(DrawTextStaticFormat(5), -1);
    EXPECT_EQ(DrawTextStaticFormat(-1), -1);
    EXPECT_EQ(StateInfoFormat(0), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(StateInfoFormat(3), DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(StateInfoFormat(6), DT_RIGHT | DT_VCENTER | DT_WORDBREAK);
    EXPECT_EQ(StateInfoFormat(99), StateInfoFormat(0));
}

TEST(TextLayoutTest, DotsSuffix) {
    EXPECT_STREQ(DotsSuffix(0), L"");
    EXPECT_STREQ(DotsSuffix(3), L"...");
    EXPECT_STREQ(DotsSuffix(4), L"");
}

TEST(TextLayoutTest, EditBandsCentreTheText) {
    EditBands b = ComputeEditBands(257, 22, 12);
    EXPECT_EQ(b.offset, 5);
    EXPECT_EQ(b.top.bottom, 5);
    EXPECT_EQ(b.bottom.top, 17);
    EXPECT_EQ(b.bottom.bottom, 22);
    EditBands odd = ComputeEditBands(100, 36, 13);  // (36 - 13) / 2 = 11
    EXPECT_EQ(odd.offset, 11);
    EXPECT_EQ(odd.top.bottom, 12);  // the odd pixel goes to the top band
    EXPECT_EQ(odd.bottom.top, 24);
    EditBands low = ComputeEditBands(100, 8, 12);  // lower than the text: no bands
    EXPECT_EQ(low.offset, 0);
    EXPECT_TRUE(::IsRectEmpty(&low.top));
    EXPECT_TRUE(::IsRectEmpty(&low.bottom));
}
