// Workers 3 and 4: one PowerShell listing per WMI class of their catalogue.
#include "Collector.h"
#include "CommandRunner.h"
#include "ToolReports.h"

using toollog::Entry;

int CCollector::CollectWmiDeviceClasses() { return CollectWmiClasses(wmiDeviceCatalogue, 3); }

int CCollector::CollectWmiSystemClasses() { return CollectWmiClasses(wmiSystemCatalogue, 4); }

int CCollector::CollectWmiClasses(const skelda::FolderCatalogue& catalogue, int worker) {
    if (!EnsureArchiveFolder()) return 0;
    for (const auto& [folderName, rows] : catalogue) {
        if (!IsCategoryEnabled(folderName)) continue;
        const std::wstring folder = WorkingFolder() + L"\\" + folderName;
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::PowershellFolderFailed);
        for (const skelda::CatalogueRow& row : rows) ToolStep(worker, skelda::WmiClassReport(row.key, folder, row.label));
    }
    return FinishWorker();
}
