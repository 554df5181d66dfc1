#include "win/ModuleReference.h"

namespace util::win {

HMODULE ReferenceModuleOf(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module))
        return nullptr;
    if (module == ::GetModuleHandleW(nullptr)) {
        ::FreeLibrary(module);
        return nullptr;
    }
    return module;
}

void ExitThreadReleasing(HMODULE module, DWORD code) {
    if (module) ::FreeLibraryAndExitThread(module, code);
    ::ExitThread(code);
}

}  // namespace util::win
