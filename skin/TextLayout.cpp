#include "TextLayout.h"

namespace skin {

int DrawTextStaticFormat(int format) {
    switch (format) {
        case 0: return DT_WORDBREAK | DT_VCENTER;
        case 1: return DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        case 2: return DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        case 3: return DT_RIGHT | DT_VCENTER | DT_WORDBREAK;
        case 4: return DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        default: return -1;
    }
}

int StateInfoFormat(int align) {
    switch (align) {
        case 2: return DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        case 3: return DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
        case 4: return DT_LEFT | DT_VCENTER | DT_WORDBREAK;
        case 5: return DT_CENTER | DT_VCENTER | DT_WORDBREAK;
        case 6: return DT_RIGHT | DT_VCENTER | DT_WORDBREAK;
        default: return DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    }
}

const wchar_t* DotsSuffix(int count) {
    switch (count) {
        case 1: return L".";
        case 2: return L"..";
        case 3: return L"...";
        default: return L"";
    }
}

EditBands ComputeEditBands(int width, int height, int textHeight) {
    // A box lower than the text keeps its whole height as client area.
    int offset = (height - textHeight) / 2;
    if (offset < 0) offset = 0;
    EditBands bands;
    bands.offset = offset;
    bands.top = RECT{0, 0, width, offset > 0 ? height - offset - textHeight : 0};
    bands.bottom = RECT{0, offset > 0 ? offset + textHeight : height, width, height};
    return bands;
}

}  // namespace skin
