// The loader of delay-imported functions, in place of the C runtime's: every library comes
// from the system folder by full path (the common controls by name, so that the manifest's
// version 6 is found in the side-by-side store), whatever lies beside the program.
#include <windows.h>
#include <delayimp.h>

#include "win/SystemLibraries.h"
#include "text/WideText.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HMODULE LoadDelayed(const char* name) {
    if (::lstrcmpiA(name, "comctl32.dll") == 0) return ::LoadLibraryA(name);
    return util::win::LoadSystemLibrary(util::text::Widen(name, CP_ACP).c_str());
}

[[noreturn]] void Missing(const char* library, const char* function) {
    const std::wstring text = L"Windows library " + util::text::Widen(library, CP_ACP) + L" or its function " +
                              util::text::Widen(function ? function : "(by number)", CP_ACP) + L" is missing.";
    ::FatalAppExitW(0, text.c_str());
    ::ExitProcess(1);
}

}  // namespace

// Called by the import stub of each delay-imported function on its first call: loads the
// library once, finds the function, puts it in the stub's slot and returns it.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
    const auto* base = reinterpret_cast<const BYTE*>(&__ImageBase);
    // Old-style descriptors hold addresses instead of offsets; the linker writes offsets.
    auto at = [&](RVA rva) -> const BYTE* {
        return (descriptor->grAttrs & dlattrRva) ? base + rva : reinterpret_cast<const BYTE*>(static_cast<ULONG_PTR>(rva));
    };
    const char* library = reinterpret_cast<const char*>(at(descriptor->rvaDLLName));
    auto* module = reinterpret_cast<HMODULE*>(const_cast<BYTE*>(at(descriptor->rvaHmod)));
    const auto* table = reinterpret_cast<const FARPROC*>(at(descriptor->rvaIAT));
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(at(descriptor->rvaINT));
    const IMAGE_THUNK_DATA& entry = names[slot - table];

    HMODULE loaded = *module;
    if (!loaded) {
        loaded = LoadDelayed(library);
        if (!loaded) Missing(library, nullptr);
        // Another thread may have been first: keep one reference.
        HMODULE earlier = reinterpret_cast<HMODULE>(
            ::InterlockedCompareExchangePointer(reinterpret_cast<PVOID*>(module), loaded, nullptr));
        if (earlier) {
            ::FreeLibrary(loaded);
            loaded = earlier;
        }
    }
    const char* function = nullptr;
    FARPROC address;
    if (IMAGE_SNAP_BY_ORDINAL(entry.u1.Ordinal)) {
        address = ::GetProcAddress(loaded, MAKEINTRESOURCEA(IMAGE_ORDINAL(entry.u1.Ordinal)));
    } else {
        function = reinterpret_cast<const char*>(
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(at(static_cast<RVA>(entry.u1.AddressOfData)))->Name);
        address = ::GetProcAddress(loaded, function);
    }
    if (!address) Missing(library, function);
    *slot = address;
    return address;
}
