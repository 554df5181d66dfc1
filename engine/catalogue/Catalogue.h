#pragma once
// Folder catalogues: which WMIC aliases and WMI classes are queried, and into which folder
// of the working folder each report goes.
#include <map>
#include <string>
#include <vector>

namespace engine::catalogue {

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

// A report made by one of Windows' tools: the tool is started directly by its full path in
// the system folder (no command interpreter, nothing looked up on PATH), with its standard
// output going to the report file.
struct ToolReport {
    std::wstring program;      // below the system folder, e.g. "wbem\WMIC.exe"
    std::wstring commandLine;  // as the tool receives it, its own name first
    std::wstring reportPath;   // the file that takes its standard output (unquoted)
};

// Where each tool lives below the system folder, and PowerShell's switches for an elevated,
// unattended start: no user profile scripts, no prompts.
constexpr const wchar_t* kWmicProgram = L"wbem\\WMIC.exe";
constexpr const wchar_t* kPowerShellProgram = L"WindowsPowerShell\\v1.0\\powershell.exe";
constexpr const wchar_t* kSysteminfoProgram = L"systeminfo.exe";
constexpr const wchar_t* kWevtutilProgram = L"wevtutil.exe";
constexpr const wchar_t* kPowerShellStart = L"powershell -NoProfile -NonInteractive -command ";

// <folder>\<baseName>.txt: where a catalogue row's report goes.
std::wstring ReportPath(const std::wstring& folder, const std::wstring& baseName);

// True for the one alias that is run without LIST FULL and so reports in WMIC's table form:
// "OS", compared exactly.
bool WmicTableForm(const std::wstring& alias);

// WMIC OS for the alias "OS" exactly, otherwise WMIC <alias> LIST FULL; the report is
// <folder>\<description>.txt.
ToolReport WmicReport(const std::wstring& alias, const std::wstring& folderFullPath, const std::wstring& description);

// powershell -NoProfile -NonInteractive -command "Get-WmiObject -Class <class>", the report
// <folder>\<label>.txt.
ToolReport WmiClassReport(const std::wstring& wmiClass, const std::wstring& folderFullPath, const std::wstring& label);

// The class name without its leading "Win32_" (the whole name when it has none).
std::wstring WmiClassLabel(const std::wstring& wmiClass);

}  // namespace engine::catalogue
