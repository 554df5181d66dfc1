#pragma once
// The main window's check box of each category, in the category table's order.
#include "api/Categories.h"
#include "resource.h"

namespace frontend {

constexpr unsigned kCategoryBoxIds[engine::api::kCategories] = {
    IDC_CHECK_CBS_LOG,          // kCbsLog
    IDC_CHECK_INF_LOG,          // kInfLog
    IDC_CHECK_INSTALLED_APPS,   // kInstalledApps
    IDC_CHECK_OPERATING_SYSTEM, // kOperatingSystem
    IDC_CHECK_UPDATE_LOG,       // kUpdateLog
    IDC_CHECK_SYSTEM_LOG,       // kSystemLog
    IDC_CHECK_PERF_COUNTERS,    // kPerfCounters
    IDC_CHECK_HARDWARE,         // kHardware
};

}  // namespace frontend
