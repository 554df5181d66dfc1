#pragma once
// The eight kinds of information a run may gather, in the order of the switch record the
// engine takes: one table for the engine, the program, the console host and the tests.
#include <string>

#include "resource.h"

namespace skelda {

enum CategoryIndex : int {
    kCbsLog = 0,
    kInfLog = 1,
    kInstalledApps = 2,
    kOperatingSystem = 3,
    kUpdateLog = 4,
    kSystemLog = 5,
    kPerfCounters = 6,
    kHardware = 7,
};

struct Category {
    CategoryIndex index;
    unsigned checkBoxId;  // the box of the main window that switches it
    const wchar_t* label;   // the box's text
    const wchar_t* folder;  // its one top-level folder in the working folder and the archive
};

constexpr int kCategories = 8;

constexpr Category kCategoryTable[kCategories] = {
    {kCbsLog, IDC_CHECK_CBS_LOG, L"CBS日志", L"CBS日志"},
    {kInfLog, IDC_CHECK_INF_LOG, L"INF日志", L"INF日志"},
    {kInstalledApps, IDC_CHECK_INSTALLED_APPS, L"安装应用程序", L"安装应用程序"},
    {kOperatingSystem, IDC_CHECK_OPERATING_SYSTEM, L"操作系统", L"操作系统"},
    {kUpdateLog, IDC_CHECK_UPDATE_LOG, L"系统更新日志", L"系统更新日志"},
    {kSystemLog, IDC_CHECK_SYSTEM_LOG, L"系统日志", L"系统日志"},
    {kPerfCounters, IDC_CHECK_PERF_COUNTERS, L"性能计数器", L"性能计数器"},
    {kHardware, IDC_CHECK_HARDWARE, L"硬件相关信息", L"硬件"},
};

constexpr const Category& CategoryAt(CategoryIndex index) { return kCategoryTable[index]; }

// The top-level folder of a category, as text.
inline std::wstring CategoryFolder(CategoryIndex index) { return kCategoryTable[index].folder; }

// The category whose folder is the first component of a relative path such as
// "硬件\温控设备"; -1 for a path of no category.
int CategoryIndexOf(const std::wstring& relativePath);

// True when name is the top-level folder of some category.
bool IsCategoryFolder(const std::wstring& name);

}  // namespace skelda
