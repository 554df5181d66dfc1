#pragma once
// PNG images from the module's resources (type "PNG").
#include <windows.h>
#include "GdiPlus.h"

namespace skin {

// Loads PNG resource id into out. FALSE (out unchanged) when the resource is missing or
// can't be read; a PNG that does not decode still gives TRUE and an image that draws nothing.
BOOL LoadPngResource(UINT id, ui::GdiplusImage& out);

}  // namespace skin
