#include "GdiCallCounter.h"

#include <cstring>
#include <set>

namespace testkit {

namespace {

std::set<void*>* g_live = nullptr;

void Track(void* h) { if (h && g_live) g_live->insert(h); }
void Untrack(void* h) { if (g_live) g_live->erase(h); }

struct Hook {
    const char* name;
    void* replacement;
    void* original;
};

extern Hook g_hooks[10];

// The real functions, called through the addresses the import table held before.
template <int I, class F>
F Original() { return reinterpret_cast<F>(g_hooks[I].original); }

enum { kCreateDC, kDeleteDC, kCreateBitmap, kCreateDib, kCreateBrush, kCreateFont, kDeleteObject, kGetDC,
       kGetWindowDC, kReleaseDC };

HDC WINAPI MyCreateCompatibleDC(HDC dc) {
    HDC r = Original<kCreateDC, HDC(WINAPI*)(HDC)>()(dc);
    Track(r);
    return r;
}
BOOL WINAPI MyDeleteDC(HDC dc) {
    Untrack(dc);
    return Original<kDeleteDC, BOOL(WINAPI*)(HDC)>()(dc);
}
HBITMAP WINAPI MyCreateCompatibleBitmap(HDC dc, int w, int h) {
    HBITMAP r = Original<kCreateBitmap, HBITMAP(WINAPI*)(HDC, int, int)>()(dc, w, h);
    Track(r);
    return r;
}
HBITMAP WINAPI MyCreateDIBSection(HDC dc, const BITMAPINFO* bi, UINT u, void** bits, HANDLE s, DWORD o) {
    HBITMAP r = Original<kCreateDib, HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)>()(
        dc, bi, u, bits, s, o);
    Track(r);
    return r;
}
HBRUSH WINAPI MyCreateSolidBrush(COLORREF c) {
    HBRUSH r = Original<kCreateBrush, HBRUSH(WINAPI*)(COLORREF)>()(c);
    Track(r);
    return r;
}
HFONT WINAPI MyCreateFontIndirectW(const LOGFONTW* lf) {
    HFONT r = Original<kCreateFont, HFONT(WINAPI*)(const LOGFONTW*)>()(lf);
    Track(r);
    return r;
}
BOOL WINAPI MyDeleteObject(HGDIOBJ h) {
    Untrack(h);
    return Original<kDeleteObject, BOOL(WINAPI*)(HGDIOBJ)>()(h);
}
HDC WINAPI MyGetDC(HWND w) {
    HDC r = Original<kGetDC, HDC(WINAPI*)(HWND)>()(w);
    Track(r);
    return r;
}
HDC WINAPI MyGetWindowDC(HWND w) {
    HDC r = Original<kGetWindowDC, HDC(WINAPI*)(HWND)>()(w);
    Track(r);
    return r;
}
int WINAPI MyReleaseDC(HWND w, HDC dc) {
    Untrack(dc);
    return Original<kReleaseDC, int(WINAPI*)(HWND, HDC)>()(w, dc);
}

Hook g_hooks[10] = {
    {"CreateCompatibleDC", reinterpret_cast<void*>(MyCreateCompatibleDC), nullptr},
    {"DeleteDC", reinterpret_cast<void*>(MyDeleteDC), nullptr},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(MyCreateCompatibleBitmap), nullptr},
    {"CreateDIBSection", reinterpret_cast<void*>(MyCreateDIBSection), nullptr},
    {"CreateSolidBrush", reinterpret_cast<void*>(MyCreateSolidBrush), nullptr},
    {"CreateFontIndirectW", reinterpret_cast<void*>(MyCreateFontIndirectW), nullptr},
    {"DeleteObject", reinterpret_cast<void*>(MyDeleteObject), nullptr},
    {"GetDC", reinterpret_cast<void*>(MyGetDC), nullptr},
    {"GetWindowDC", reinterpret_cast<void*>(MyGetWindowDC), nullptr},
    {"ReleaseDC", reinterpret_cast<void*>(MyReleaseDC), nullptr},
};

// Swaps the import table entries named in g_hooks; install true puts the counters in.
int Patch(bool install) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return 0;
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        if (!imp->OriginalFirstThunk) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (Hook& hook : g_hooks) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), hook.name) != 0) continue;
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                DWORD old = 0;
                ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
                if (install) {
                    hook.original = *slot;
                    *slot = hook.replacement;
                } else if (hook.original) {
                    *slot = hook.original;
                }
                ::VirtualProtect(slot, sizeof(void*), old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

}  // namespace

GdiCallCounter::GdiCallCounter() {
    g_live = new std::set<void*>;
    hooked_ = Patch(true);
}

GdiCallCounter::~GdiCallCounter() {
    Patch(false);
    delete g_live;
    g_live = nullptr;
}

int GdiCallCounter::Live() const { return g_live ? static_cast<int>(g_live->size()) : 0; }

}  // namespace testkit
