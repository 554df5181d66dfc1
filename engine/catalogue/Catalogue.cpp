#include "catalogue/Catalogue.h"

#include "catalogue/CatalogueTables.h"
#include "text/CommandLine.h"

namespace engine::catalogue {

using util::text::Quoted;

std::wstring ReportPath(const std::wstring& folder, const std::wstring& baseName) {
    return folder + L"\\" + baseName + L".txt";
}

void EnterFolder(FolderCatalogue& catalogue, const std::wstring& folder,
                 const std::vector<CatalogueRow>& rows) {
    catalogue.emplace(folder, rows);
}

std::wstring WmiClassLabel(const std::wstring& wmiClass) {
    static const std::wstring prefix = L"Win32_";
    if (wmiClass.compare(0, prefix.size(), prefix) == 0) return wmiClass.substr(prefix.size());
    return wmiClass;
}

int BuildCatalogues(FolderCatalogue& wmic, FolderCatalogue& wmiDevice,
                    FolderCatalogue& wmiSystem) noexcept {
    try {
        std::vector<CatalogueRow> scratch;
        for (const AliasFolder& folder : WmicTable()) {
            scratch.clear();
            for (const AliasRow& row : folder.rows) scratch.push_back({row.alias, row.description});
            EnterFolder(wmic, folder.folder, scratch);
        }
        const struct {
            const std::vector<ClassFolder>& table;
            FolderCatalogue& target;
        } wmiTables[] = {{WmiDeviceTable(), wmiDevice}, {WmiSystemTable(), wmiSystem}};
        for (const auto& wmi : wmiTables) {
            for (const ClassFolder& folder : wmi.table) {
                scratch.clear();
                for (const wchar_t* cls : folder.classes) scratch.push_back({cls, WmiClassLabel(cls)});
                EnterFolder(wmi.target, folder.folder, scratch);
            }
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

bool WmicTableForm(const std::wstring& alias) { return alias == L"OS"; }

ToolReport WmicReport(const std::wstring& alias, const std::wstring& folderFullPath, const std::wstring& description) {
    const std::wstring query = WmicTableForm(alias) ? alias : alias + L" LIST FULL";
    return {kWmicProgram, L"WMIC " + query, ReportPath(folderFullPath, description)};
}

ToolReport WmiClassReport(const std::wstring& wmiClass, const std::wstring& folderFullPath, const std::wstring& label) {
    return {kPowerShellProgram, kPowerShellStart + Quoted(L"Get-WmiObject -Class " + wmiClass),
            ReportPath(folderFullPath, label)};
}

}  // namespace engine::catalogue
