#pragma once
// The machine the doubles describe where a run's summary looks: WMIC's OS table and the
// properties of a few LIST FULL aliases, and the devices of Win32_PnPEntity. Fixed values, one
// of each kind of problem the summary finds: a local disk under 10 % free, an automatic service
// that is stopped, a device with a problem code.
#include <string>
#include <vector>

namespace doubles {

// "WMIC OS": the table form, each column as wide as its longest entry plus two blanks.
inline std::wstring WmicOsTable() {
    return L"BuildNumber  Caption                   FreePhysicalMemory  InstallDate                LastBootUpTime             LocalDateTime              OSArchitecture  TotalVisibleMemorySize  Version     \r\n"
           L"19045        Microsoft Windows 10 专业版  3145728             20240115103000.000000+480  20261208081500.000000+480  20261209093000.500000+480  64 位            8388608                 10.0.19045  \r\n"
           L"\r\n";
}

// The properties WMIC LIST FULL gives beyond the double's own lines, one entry per instance
// ("Name=Value" lines, CR LF); none for an alias the summary does not read.
inline std::vector<std::wstring> WmicListFacts(const std::wstring& alias) {
    if (alias == L"COMPUTERSYSTEM")
        return {L"Manufacturer=Skelda Double Works\r\nModel=Double PC 3000\r\nSystemType=x64-based PC\r\n"
                L"TotalPhysicalMemory=8589934592\r\n"};
    if (alias == L"BIOS")
        return {L"Manufacturer=Skelda BIOS Inc.\r\nReleaseDate=20230610000000.000000+000\r\nSMBIOSBIOSVersion=1.23.0\r\n"};
    if (alias == L"CPU")
        return {L"Name=Double(R) Core(TM) i5-1035 CPU @ 1.00GHz\r\nNumberOfCores=4\r\nNumberOfLogicalProcessors=8\r\n"};
    if (alias == L"LOGICALDISK")
        return {L"DeviceID=C:\r\nDriveType=3\r\nFileSystem=NTFS\r\nFreeSpace=18874368000\r\nSize=255953203200\r\n"
                L"VolumeName=系统\r\n",
                L"DeviceID=D:\r\nDriveType=3\r\nFileSystem=NTFS\r\nFreeSpace=600000000000\r\nSize=1000202039296\r\n"
                L"VolumeName=数据\r\n"};
    if (alias == L"SERVICE")
        return {L"DisplayName=Windows Event Log\r\nExitCode=0\r\nName=EventLog\r\nStartMode=Auto\r\nState=Running\r\n",
                L"DisplayName=Skelda Double Service\r\nExitCode=2\r\nName=SkeldaDouble\r\nStartMode=Auto\r\n"
                L"State=Stopped\r\n",
                L"DisplayName=Print Spooler\r\nExitCode=0\r\nName=Spooler\r\nStartMode=Manual\r\nState=Stopped\r\n"};
    if (alias == L"QFE")
        return {L"Description=Security Update\r\nHotFixID=KB5032189\r\nInstalledOn=11/15/2026\r\n",
                L"Description=Update\r\nHotFixID=KB5031356\r\nInstalledOn=10/11/2026\r\n"};
    return {};
}

// "Get-WmiObject -Class Win32_PnPEntity": two devices, the second with problem code 28 (no driver).
inline std::string PnpEntityList() {
    return "\r\n\r\n"
           "__GENUS                     : 2\r\n"
           "__CLASS                     : Win32_PnPEntity\r\n"
           "ConfigManagerErrorCode      : 0\r\n"
           "DeviceID                    : ACPI\\PNP0303\\4&1D401FB5&0\r\n"
           "Name                        : Standard PS/2 Keyboard\r\n"
           "Status                      : OK\r\n"
           "\r\n"
           "__GENUS                     : 2\r\n"
           "__CLASS                     : Win32_PnPEntity\r\n"
           "ConfigManagerErrorCode      : 28\r\n"
           "DeviceID                    : PCI\\VEN_8086&DEV_A0E8&SUBSYS_00000000&REV_20\\3&11583659&0&A8\r\n"
           "Name                        : PCI Serial Bus Controller\r\n"
           "Status                      : Error\r\n"
           "\r\n\r\n";
}

}  // namespace doubles
