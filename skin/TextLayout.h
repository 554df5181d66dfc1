#pragma once
// Text formats and layout arithmetic of the text statics and the centred edit.
#include <windows.h>

namespace skin {

// DrawText flags of CDrawTextStatic per format value; -1 means no text is drawn.
int DrawTextStaticFormat(int format);
// DrawText flags of CDrawStateInfoStatic per alignment value.
int StateInfoFormat(int align);
// "", ".", "..", "..." for dot counts 0 to 3.
const wchar_t* DotsSuffix(int count);

// Bands of CTextVcenterEdit: the text of height t is centred in a w x h box.
struct EditBands {
    int offset;  // removed from the client area at the top and at the bottom
    RECT top;
    RECT bottom;
};
EditBands ComputeEditBands(int width, int height, int textHeight);

}  // namespace skin
