// Where Windows keeps things, and what kind of Windows this is.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "win/SystemPaths.h"

namespace {

TEST(SystemPathsTest, ModuleFolderAndWow64) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring expected(self);
    expected.erase(expected.rfind(L'\\') + 1);
    EXPECT_EQ(util::win::ModuleFolderOf(reinterpret_cast<const void*>(&util::win::ModuleFolderOf)), expected);

    const char* kind = std::getenv("SKELDA_PREFIX_KIND");
    ASSERT_NE(kind, nullptr);
    const bool windows64 = std::string(kind) == "win64";
    EXPECT_EQ(util::win::IsWow64(), windows64 && sizeof(void*) == 4);
    EXPECT_EQ(util::win::Is64BitWindows(), windows64);
}

}  // namespace
