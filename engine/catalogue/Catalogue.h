#pragma once
// Folder catalogues: which WMIC aliases and WMI classes are queried, and into which folder
// of the working folder each report goes.
#include <map>
#include <string>
#include <vector>

namespace skelda {

// key: WMIC alias or WMI class as written on the command line; label: base name of its report file.
struct CatalogueRow {
    std::wstring key;
    std::wstring label;
};

inline bool operator==(const CatalogueRow& a, const CatalogueRow& b) {
    return a.key == b.key && a.label == b.label;
}

// Folder path below the working folder ("硬件\温控设备", no leading or trailing backslash)
// to the rows of that folder in table order. std::less on std::wstring compares UTF-16 code
// units as unsigned values (wcscmp order), so iteration runs in ordinal folder order.
using FolderCatalogue = std::map<std::wstring, std::vector<CatalogueRow>>;

// Enters the folder with a copy of rows unless the folder is already present.
void EnterFolder(FolderCatalogue& catalogue, const std::wstring& folder,
                 const std::vector<CatalogueRow>& rows);

// Fills the three built-in catalogues: WMIC aliases, WMI device classes (hardware and
// performance counters), WMI system classes (operating system and installed applications).
// Folders already present are left alone, so a second call changes nothing.
// Returns 1; 0 only when memory ran out (the catalogues may then be partly filled).
int BuildCatalogues(FolderCatalogue& wmic, FolderCatalogue& wmiDevice,
                    FolderCatalogue& wmiSystem) noexcept;

// WMIC OS >"<folder>\<description>.txt" for the alias "OS" exactly, otherwise
// WMIC <alias> LIST FULL >"<folder>\<description>.txt".
std::wstring WmicCommand(const std::wstring& alias, const std::wstring& folderFullPath,
                         const std::wstring& description);

// powershell -command "Get-WmiObject -Class <class>" >"<folder>\<label>.txt"
std::wstring WmiClassCommand(const std::wstring& wmiClass, const std::wstring& folderFullPath,
                             const std::wstring& label);

// The class name without its leading "Win32_" (the whole name when it has none).
std::wstring WmiClassLabel(const std::wstring& wmiClass);

}  // namespace skelda
