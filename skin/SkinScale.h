#pragma once
// The display scale of a dialog and the scaling of design lengths.
#include <windows.h>

namespace skin {

// LOGPIXELSY / 100 when the screen reports more than 100 pixels per inch, else 1.
float DisplayScaleFromDpi(int logPixelsY);
// The scale of the primary screen.
float ScreenDisplayScale();

// A design length times the scale, truncated towards zero.
inline int Scaled(int design, float scale) { return static_cast<int>(static_cast<float>(design) * scale); }
inline int Scaled(long design, float scale) { return Scaled(static_cast<int>(design), scale); }
inline int Scaled(double design, float scale) { return static_cast<int>(static_cast<float>(design) * scale); }

}  // namespace skin
