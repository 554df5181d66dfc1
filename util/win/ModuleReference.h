#pragma once
// A reference on the library that holds some code, for a thread that runs that code: while the
// thread runs, the host's FreeLibrary cannot unmap it, and the thread lets go of it only as it
// ends (FreeLibraryAndExitThread), never returning into code that is gone.
#include <windows.h>

namespace util::win {

// The library that holds address, referenced once more; null where that is the program itself
// (linked in, it cannot be unloaded) or it cannot be found.
HMODULE ReferenceModuleOf(const void* address);

// Ends the calling thread with code, releasing module (from ReferenceModuleOf) as it does. Call
// it with nothing left on the thread's stack to destroy.
[[noreturn]] void ExitThreadReleasing(HMODULE module, DWORD code);

}  // namespace util::win
