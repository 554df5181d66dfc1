// GoogleTest entry of the front-end tests: what the application sets up before its dialogs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "GdiPlus.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::LoadLibraryW(L"riched20.dll");
    ui::GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
