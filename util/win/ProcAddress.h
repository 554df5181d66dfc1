#pragma once
// Typed look-up of a function exported by a loaded module.
#include <windows.h>

namespace util::win {

template <typename F>
F ProcAddress(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // GetProcAddress returns a generic function pointer; the caller names the real type.
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace util::win
