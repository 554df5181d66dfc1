#include <gtest/gtest.h>

#include <set>

#include "api/Categories.h"

using namespace engine::api;

TEST(CategoriesTest, FirstComponentPicksTheSwitch) {
    EXPECT_EQ(CategoryIndexOf(L"硬件\\温控设备"), kHardware);
    EXPECT_EQ(CategoryIndexOf(L"操作系统"), kOperatingSystem);
    EXPECT_EQ(CategoryIndexOf(L"安装应用程序"), kInstalledApps);
    EXPECT_EQ(CategoryIndexOf(L"性能计数器\\原始性能计数器"), kPerfCounters);
    EXPECT_EQ(CategoryIndexOf(L"系统日志"), kSystemLog);
    // The box's text is not a folder; neither is a folder that only starts like one.
    EXPECT_EQ(CategoryIndexOf(L"硬件相关信息\\x"), -1);
    EXPECT_EQ(CategoryIndexOf(L"硬件x\\y"), -1);
    EXPECT_EQ(CategoryIndexOf(L""), -1);
    EXPECT_EQ(CategoryIndexOf(L"\\硬件"), -1);
}

TEST(CategoriesTest, TopLevelFoldersOnly) {
    EXPECT_TRUE(IsCategoryFolder(L"CBS日志"));
    EXPECT_FALSE(IsCategoryFolder(L"硬件\\电源"));
    EXPECT_FALSE(IsCategoryFolder(L"notes"));
    EXPECT_FALSE(IsCategoryFolder(L""));
}

TEST(CategoriesTest, FoldersAreDistinct) {
    std::set<std::wstring> folders;
    for (const Category& category : kCategoryTable) {
        folders.insert(category.folder);
        EXPECT_EQ(CategoryIndexOf(category.folder), category.index);
    }
    EXPECT_EQ(folders.size(), size_t(kCategories));
}
