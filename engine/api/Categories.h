#pragma once
// The eight kinds of information a run may gather, in the order of the switch record the
// engine takes: one table for the engine, the program, the console host and the tests.
#include <string>

#include "api/OrvaneSkeldaApi.h"

namespace engine::api {

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
    const wchar_t* label;   // the box's text
    const wchar_t* folder;  // its one top-level folder in the working folder and the archive
};

constexpr int kCategories = kCategoryCount;

constexpr Category kCategoryTable[kCategories] = {
    {kCbsLog, L"CBS日志", L"CBS日志"},
    {kInfLog, L"INF日志", L"INF日志"},
    {kInstalledApps, L"安装应用程序", L"安装应用程序"},
    {kOperatingSystem, L"操作系统", L"操作系统"},
    {kUpdateLog, L"系统更新日志", L"系统更新日志"},
    {kSystemLog, L"系统日志", L"系统日志"},
    {kPerfCounters, L"性能计数器", L"性能计数器"},
    {kHardware, L"硬件相关信息", L"硬件"},
};

constexpr const Category& CategoryAt(CategoryIndex index) { return kCategoryTable[index]; }

// The top-level folder of a category, as text.
inline std::wstring CategoryFolder(CategoryIndex index) { return kCategoryTable[index].folder; }

// The table is indexed by its own index field; a row out of place would switch the wrong kind.
static_assert([] {
    for (int i = 0; i < kCategories; ++i)
        if (kCategoryTable[i].index != i) return false;
    return true;
}());

// The category whose folder is the first component of a relative path such as
// "硬件\温控设备"; -1 for a path of no category.
inline int CategoryIndexOf(const std::wstring& relativePath) {
    const std::wstring head = relativePath.substr(0, relativePath.find(L'\\'));
    for (const Category& category : kCategoryTable)
        if (head == category.folder) return category.index;
    return -1;
}

// Below the system log's folder: the text copies of the last week's critical, error and warning
// events of the logs kRecentEventLogs names, one "<log>.txt" each.
constexpr const wchar_t* kRecentEventsFolder = L"近7天的错误和警告";
constexpr const wchar_t* kRecentEventLogs[] = {L"System", L"Application", L"Setup"};

// The one other folder a run makes in its working folder: its children's temporary folder.
constexpr const wchar_t* kWorkingTempFolder = L"Temp";

// True when name is the top-level folder of some category.
inline bool IsCategoryFolder(const std::wstring& name) {
    return name.find(L'\\') == std::wstring::npos && CategoryIndexOf(name) >= 0;
}

}  // namespace engine::api
