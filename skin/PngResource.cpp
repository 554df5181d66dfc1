#include "PngResource.h"

#include <cstring>
#include "Wnd.h"

namespace skin {

BOOL LoadPngResource(UINT id, ui::GdiplusImage& out) {
    HINSTANCE module = SkinResourceInstance();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!info) return FALSE;
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL resource = ::LoadResource(module, info);
    if (!resource || size == 0) return FALSE;
    const void* bytes = ::LockResource(resource);
    if (!bytes) return FALSE;

    // The stream reads this block for as long as the image lives; the image's owner frees it.
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (!block) return FALSE;
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);

    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, FALSE, &stream))) {
        ::GlobalFree(block);
        return FALSE;
    }
    Gdiplus::GpImage* image = nullptr;
    Gdiplus::DllExports::GdipLoadImageFromStream(stream, &image);
    stream->Release();
    out = ui::GdiplusImage(image, block);
    return TRUE;
}

}  // namespace skin
