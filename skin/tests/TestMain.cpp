// GoogleTest entry for the window tests: common controls and one GDI+ session for the whole run.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "GdiPlus.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ui::GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
