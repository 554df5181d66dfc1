#include "SkinScale.h"

namespace skin {

float DisplayScaleFromDpi(int logPixelsY) {
    return logPixelsY > 100 ? static_cast<float>(logPixelsY / 100.0) : 1.0f;
}

float ScreenDisplayScale() {
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return DisplayScaleFromDpi(dpi);
}

}  // namespace skin
