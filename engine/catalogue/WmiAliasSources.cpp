#include "WmiAliasSources.h"

namespace skelda {

namespace {

// Three full captures of "wmic <alias> list full" on one Windows Server 2008 machine. The BIOS
// list is the same in a capture from a Windows 10 laptop (public GitHub file, index id
// 20448724247), so WMIC's FULL lists did not follow the classes' later properties.
constexpr const wchar_t* kPostExploitationWiki =
    L"github.com/mubix/post-exploitation-wiki, windows/windows_cmd_config.md (Windows Server 2008)";

// USERACCOUNT's capture leaves out Caption; GROUP and SYSACCOUNT read the other classes
// derived from Win32_Account and are taken to be defined alike.
constexpr const wchar_t* kAccountRule =
    L"Win32_Account classes: Caption left out, as in USERACCOUNT's capture";

// BIOS, SERVICE and CPU leave out exactly the properties their classes gained with Windows 8
// and Windows 10 (SMBIOS 3 fields, DelayedAutoStart, AssetTag, Characteristics); the other
// classes' properties of that age are left out the same way.
constexpr const wchar_t* kNewerPropertyRule =
    L"properties added with Windows 8 or later left out, as in BIOS, SERVICE and CPU";

}  // namespace

const std::vector<WmiAliasSource>& WmiAliasSources() {
    static const std::vector<WmiAliasSource> sources = {
        {L"PRODUCT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"DCOMAPP", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHARE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHADOWCOPY", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHADOWSTORAGE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PAGEFILE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PAGEFILESET", ListEvidence::Documented, L"", L"", L"", L""},
        {L"BOOTCONFIG", ListEvidence::Documented, L"", L"", L"", L""},
        {L"COMPUTERSYSTEM", ListEvidence::Inferred, L"", L"", kNewerPropertyRule, L"HypervisorPresent"},
        {L"CSPRODUCT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"OS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"QFE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RECOVEROS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"LOGICALDISK", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PARTITION", ListEvidence::Documented, L"", L"", L"", L""},
        {L"QUOTASETTING", ListEvidence::Documented, L"", L"", L"", L""},
        {L"VOLUME", ListEvidence::Documented, L"", L"", L"", L""},
        {L"VOLUMEQUOTASETTING", ListEvidence::Documented, L"", L"", L"", L""},
        {L"JOB", ListEvidence::Documented, L"", L"", L"", L""},
        {L"LOADORDER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SERVER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SERVICE", ListEvidence::Capture, kPostExploitationWiki,
         L"AcceptPause,AcceptStop,Caption,CheckPoint,CreationClassName,Description,DesktopInteract,"
         L"DisplayName,ErrorControl,ExitCode,InstallDate,Name,PathName,ProcessId,ServiceSpecificExitCode,"
         L"ServiceType,Started,StartMode,StartName,State,Status,SystemCreationClassName,SystemName,TagId,"
         L"WaitHint",
         L"", L"DelayedAutoStart"},
        {L"DESKTOP", ListEvidence::Documented, L"", L"", L"", L""},
        {L"ENVIRONMENT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"TIMEZONE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"REGISTRY", ListEvidence::Documented, L"", L"", L"", L""},
        {L"GROUP", ListEvidence::Inferred, L"", L"", kAccountRule, L"Caption"},
        {L"LOGON", ListEvidence::Documented, L"", L"", L"", L""},
        {L"STARTUP", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SYSACCOUNT", ListEvidence::Inferred, L"", L"", kAccountRule, L"Caption"},
        {L"USERACCOUNT", ListEvidence::Capture, kPostExploitationWiki,
         L"AccountType,Description,Disabled,Domain,FullName,InstallDate,LocalAccount,Lockout,Name,"
         L"PasswordChangeable,PasswordExpires,PasswordRequired,SID,SIDType,Status",
         L"", L"Caption"},
        {L"NETCLIENT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NETLOGIN", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NETPROTOCOL", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NETUSE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NIC", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NICCONFIG", ListEvidence::Documented, L"", L"", L"", L""},
        {L"NTDOMAIN", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RDACCOUNT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RDNIC", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RDPERMISSIONS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RDTOGGLE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PROCESS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SYSDRIVER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"BASEBOARD", ListEvidence::Documented, L"", L"", L"", L""},
        {L"BIOS", ListEvidence::Capture, kPostExploitationWiki,
         L"BiosCharacteristics,BuildNumber,CodeSet,CurrentLanguage,Description,IdentificationCode,"
         L"InstallableLanguages,InstallDate,LanguageEdition,ListOfLanguages,Manufacturer,Name,"
         L"OtherTargetOS,PrimaryBIOS,ReleaseDate,SerialNumber,SMBIOSBIOSVersion,SMBIOSMajorVersion,"
         L"SMBIOSMinorVersion,SMBIOSPresent,SoftwareElementID,SoftwareElementState,Status,"
         L"TargetOperatingSystem,Version",
         L"", L"BIOSVersion,Caption,EmbeddedControllerMajorVersion,EmbeddedControllerMinorVersion,"
         L"SystemBiosMajorVersion,SystemBiosMinorVersion"},
        {L"DEVICEMEMORYADDRESS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"DMACHANNEL", ListEvidence::Documented, L"", L"", L"", L""},
        {L"IDECONTROLLER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PORT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"IRQ", ListEvidence::Documented, L"", L"", L"", L""},
        {L"MEMCACHE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"MEMORYCHIP", ListEvidence::Inferred, L"", L"", kNewerPropertyRule,
         L"Attributes,ConfiguredClockSpeed,ConfiguredVoltage,MaxVoltage,MinVoltage,SMBIOSMemoryType"},
        {L"MEMPHYSICAL", ListEvidence::Inferred, L"", L"", kNewerPropertyRule, L"MaxCapacityEx"},
        {L"ONBOARDDEVICE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PORTCONNECTOR", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SCSICONTROLLER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SOUNDDEV", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SYSTEMENCLOSURE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SYSTEMSLOT", ListEvidence::Documented, L"", L"", L"", L""},
        {L"CPU", ListEvidence::PartialCapture,
         L"public GitHub file, index id 12989467737: \"wmic CPU list full\", its first six lines "
         L"(Windows 10)",
         L"AddressWidth,Architecture,Availability,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig",
         kNewerPropertyRule,
         L"AssetTag,Characteristics,NumberOfEnabledCore,PartNumber,SecondLevelAddressTranslationExtensions,"
         L"SerialNumber,ThreadCount,VirtualizationFirmwareEnabled,VMMonitorModeExtensions"},
        {L"CDROM", ListEvidence::Documented, L"", L"", L"", L""},
        {L"DISKDRIVE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"TAPEDRIVE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PRINTER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PRINTERCONFIG", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PRINTJOB", ListEvidence::Documented, L"", L"", L"", L""},
        {L"TEMPERATURE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"UPS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"VOLTAGE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"DESKTOPMONITOR", ListEvidence::Documented, L"", L"", L"", L""},
    };
    return sources;
}

}  // namespace skelda
