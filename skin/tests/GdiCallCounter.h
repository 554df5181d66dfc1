#pragma once
// Counts the GDI objects and DCs this program's own code holds, by routing its imports of the
// creating and freeing GDI/USER functions through counters (the import table of the .exe).
// It sees every call of code linked into the test program, and none of the system's own.
#include <windows.h>

namespace testkit {

class GdiCallCounter {
public:
    GdiCallCounter();   // starts counting
    ~GdiCallCounter();  // puts the original imports back
    GdiCallCounter(const GdiCallCounter&) = delete;
    GdiCallCounter& operator=(const GdiCallCounter&) = delete;

    // Objects and DCs created (or obtained) since the start and not yet freed (or released).
    int Live() const;
    bool Hooked() const { return hooked_ > 0; }

private:
    int hooked_ = 0;
};

}  // namespace testkit
