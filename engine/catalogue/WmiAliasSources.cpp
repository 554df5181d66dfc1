#include "catalogue/WmiAliasSources.h"

namespace engine::catalogue {

namespace {

// Three full captures of "wmic <alias> list full" on one Windows Server 2008 machine (in the
// file's earlier versions).
constexpr const wchar_t* kPostExploitationWiki =
    L"github.com/mubix/post-exploitation-wiki, windows/windows_cmd_config.md (Windows Server 2008)";

// A Go source file in public GitHub keeps WMIC's output of one ThinkPad E450 (Chinese Windows,
// version not stated) in its comments: "wmic:root\cli>ComputerSystem list full",
// "wmic:root\cli> csproduct list full", and BIOS and baseboard lists without the command. The
// BIOS block there is BIOS's captured FULL list line for line, so the baseboard block is taken
// for "wmic baseboard list full"; a Markdown note elsewhere ("wmic baseboard list
// /format:LIST", an ASRock board) begins the same way, without Caption and CreationClassName.
// The index of public files holds it without a repository address.
constexpr const wchar_t* kThinkPadComments =
    L"public GitHub Go file (package hardware) whose comments hold WMIC's lists of a ThinkPad "
    L"E450 (Chinese Windows, version not stated); repository address not recorded";

// French lab notes in public GitHub (host DESKTOP-ARDRIRA, Windows 10 Famille) quote
// "wmic CPU list full" whole. The index of public files holds them without a repository address.
constexpr const wchar_t* kFrenchLabNotes =
    L"public GitHub Markdown notes in French: \"wmic CPU list full\" on Windows 10 Famille "
    L"(host DESKTOP-ARDRIRA); repository address not recorded";

constexpr const wchar_t* kRamSpeedGuide =
    L"github.com/5T33Z0/OC-Little-Translated, guide to the RAM speed macOS reports: \"wmic "
    L"memorychip list full\" on a Lenovo T490 (Windows, version not stated); the same list "
    L"in a Chinese note of another repository";

// A parser's test data: "wmic logicaldisk list full /format:csv" on Windows XP (host IE8WINXP);
// beside it, "wmic logicaldisk" without a verb on the same machine prints the whole class,
// CreationClassName, SystemCreationClassName, SystemName and VolumeDirty included.
constexpr const wchar_t* kKolibriFixture =
    L"github.com/learningequality/kolibri, kolibri/core/discovery/test/dummydata/"
    L"windows_wmic_output.csv (\"wmic logicaldisk list full /format:csv\", Windows XP)";

// USERACCOUNT's capture leaves out Caption; GROUP and SYSACCOUNT read the other classes
// derived from Win32_Account and are taken to be defined alike.
constexpr const wchar_t* kAccountRule =
    L"Win32_Account classes: Caption left out, as in USERACCOUNT's capture";

// BASEBOARD (CIM_Card) and MEMORYCHIP (CIM_PhysicalMemory) both leave out Caption and
// CreationClassName; the other aliases of CIM_PhysicalElement classes are taken to be alike.
constexpr const wchar_t* kPhysicalElementRule =
    L"CIM_PhysicalElement classes: Caption and CreationClassName left out, as in BASEBOARD's "
    L"and MEMORYCHIP's captures";

// CPU (captured on Windows 10) and COMPUTERSYSTEM (on an x64 ThinkPad of 2015, so Windows 7
// or later) leave out what their classes gained after Windows XP (NumberOfCores, L3 cache;
// DNSHostName, PCSystemType, AutomaticManagedPagefile), and BIOS on Windows 10 what its class
// gained later still: WMIC's FULL lists were not extended with the classes.
constexpr const wchar_t* kPhysicalAndNewerRule =
    L"CIM_PhysicalElement classes: Caption and CreationClassName left out, as in BASEBOARD's "
    L"and MEMORYCHIP's captures; properties added after Windows XP left out, as in CPU's and "
    L"COMPUTERSYSTEM's";

// CSPRODUCT (Win32_ComputerSystemProduct) leaves out CIM_Product's Caption.
constexpr const wchar_t* kProductRule =
    L"CIM_Product classes: Caption left out, as in CSPRODUCT's capture";

// LOGICALDISK leaves out the three names of its system's class and instance; the other storage
// extents (partitions, volumes) are taken to be alike. CPU keeps them, so the rule stays with
// CIM_StorageExtent and is not applied to logical devices at large.
constexpr const wchar_t* kStorageExtentRule =
    L"CIM_StorageExtent classes: CreationClassName, SystemCreationClassName and SystemName left "
    L"out, as in LOGICALDISK's capture";

// SERVICE's capture keeps every property Win32_BaseService defines; SYSDRIVER's class adds none.
constexpr const wchar_t* kBaseServiceRule =
    L"Win32_BaseService classes: every property kept, as in SERVICE's capture";

// OS runs without a verb, and WMIC then prints every property of the class, as "wmic
// logicaldisk" without a verb does beside LOGICALDISK's capture.
constexpr const wchar_t* kNoVerbRule =
    L"run without LIST FULL: the whole class, as \"wmic logicaldisk\" without a verb prints it "
    L"(github.com/learningequality/kolibri, .../dummydata/windows_wmic_output.txt)";

}  // namespace

const std::vector<WmiAliasSource>& WmiAliasSources() {
    static const std::vector<WmiAliasSource> sources = {
        {L"PRODUCT", ListEvidence::Inferred, L"", L"", kProductRule, L"Caption"},
        {L"DCOMAPP", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHARE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHADOWCOPY", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SHADOWSTORAGE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PAGEFILE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"PAGEFILESET", ListEvidence::Documented, L"", L"", L"", L""},
        {L"BOOTCONFIG", ListEvidence::Documented, L"", L"", L"", L""},
        {L"COMPUTERSYSTEM", ListEvidence::Capture, kThinkPadComments,
         L"AdminPasswordStatus,AutomaticResetBootOption,AutomaticResetCapability,BootOptionOnLimit,"
         L"BootOptionOnWatchDog,BootROMSupported,BootupState,Caption,ChassisBootupState,"
         L"CreationClassName,CurrentTimeZone,DaylightInEffect,Description,Domain,DomainRole,"
         L"EnableDaylightSavingsTime,FrontPanelResetStatus,InfraredSupported,InitialLoadInfo,"
         L"InstallDate,KeyboardPasswordStatus,LastLoadInfo,Manufacturer,Model,Name,NameFormat,"
         L"NetworkServerModeEnabled,NumberOfProcessors,OEMStringArray,PartOfDomain,PauseAfterReset,"
         L"PowerManagementCapabilities,PowerManagementSupported,PowerOnPasswordStatus,PowerState,"
         L"PowerSupplyState,PrimaryOwnerContact,PrimaryOwnerName,ResetCapability,ResetCount,"
         L"ResetLimit,Roles,Status,SupportContactDescription,SystemStartupDelay,"
         L"SystemStartupOptions,SystemStartupSetting,SystemType,ThermalState,TotalPhysicalMemory,"
         L"UserName,WakeUpType,Workgroup",
         L"", L"AutomaticManagedPagefile,DNSHostName,HypervisorPresent,NumberOfLogicalProcessors,"
         L"OEMLogoBitmap,PCSystemType"},
        {L"CSPRODUCT", ListEvidence::Capture, kThinkPadComments,
         L"Description,IdentifyingNumber,Name,SKUNumber,UUID,Vendor,Version", L"", L"Caption"},
        {L"OS", ListEvidence::Inferred, L"", L"", kNoVerbRule, L""},
        {L"QFE", ListEvidence::Documented, L"", L"", L"", L""},
        {L"RECOVEROS", ListEvidence::Documented, L"", L"", L"", L""},
        {L"LOGICALDISK", ListEvidence::Capture, kKolibriFixture,
         L"Access,Availability,BlockSize,Caption,Compressed,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,Description,DeviceID,DriveType,ErrorCleared,ErrorDescription,"
         L"ErrorMethodology,FileSystem,FreeSpace,InstallDate,LastErrorCode,MaximumComponentLength,"
         L"MediaType,Name,NumberOfBlocks,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProviderName,Purpose,QuotasDisabled,QuotasIncomplete,"
         L"QuotasRebuilding,Size,Status,StatusInfo,SupportsDiskQuotas,SupportsFileBasedCompression,"
         L"VolumeName,VolumeSerialNumber",
         L"", L"CreationClassName,SystemCreationClassName,SystemName,VolumeDirty"},
        {L"PARTITION", ListEvidence::Inferred, L"", L"", kStorageExtentRule,
         L"CreationClassName,SystemCreationClassName,SystemName"},
        {L"QUOTASETTING", ListEvidence::Documented, L"", L"", L"", L""},
        {L"VOLUME", ListEvidence::Inferred, L"", L"", kStorageExtentRule,
         L"CreationClassName,SystemCreationClassName,SystemName"},
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
        {L"SYSDRIVER", ListEvidence::Inferred, L"", L"", kBaseServiceRule, L""},
        {L"BASEBOARD", ListEvidence::Capture, kThinkPadComments,
         L"ConfigOptions,Depth,Description,Height,HostingBoard,HotSwappable,InstallDate,Manufacturer,"
         L"Model,Name,OtherIdentifyingInfo,PartNumber,PoweredOn,Product,Removable,Replaceable,"
         L"RequirementsDescription,RequiresDaughterBoard,SerialNumber,SKU,SlotLayout,"
         L"SpecialRequirements,Status,Tag,Version,Weight,Width",
         L"", L"Caption,CreationClassName"},
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
        {L"MEMORYCHIP", ListEvidence::Capture, kRamSpeedGuide,
         L"BankLabel,Capacity,DataWidth,Description,DeviceLocator,FormFactor,HotSwappable,"
         L"InstallDate,InterleaveDataDepth,InterleavePosition,Manufacturer,MemoryType,Model,Name,"
         L"OtherIdentifyingInfo,PartNumber,PositionInRow,PoweredOn,Removable,Replaceable,"
         L"SerialNumber,SKU,Speed,Status,Tag,TotalWidth,TypeDetail,Version",
         L"", L"Attributes,Caption,ConfiguredClockSpeed,ConfiguredVoltage,CreationClassName,"
         L"MaxVoltage,MinVoltage,SMBIOSMemoryType"},
        {L"MEMPHYSICAL", ListEvidence::Inferred, L"", L"", kPhysicalAndNewerRule,
         L"Caption,CreationClassName,MaxCapacityEx"},
        {L"ONBOARDDEVICE", ListEvidence::Inferred, L"", L"", kPhysicalElementRule,
         L"Caption,CreationClassName"},
        {L"PORTCONNECTOR", ListEvidence::Inferred, L"", L"", kPhysicalElementRule,
         L"Caption,CreationClassName"},
        {L"SCSICONTROLLER", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SOUNDDEV", ListEvidence::Documented, L"", L"", L"", L""},
        {L"SYSTEMENCLOSURE", ListEvidence::Inferred, L"", L"", kPhysicalElementRule,
         L"Caption,CreationClassName"},
        {L"SYSTEMSLOT", ListEvidence::Inferred, L"", L"", kPhysicalElementRule,
         L"Caption,CreationClassName"},
        {L"CPU", ListEvidence::Capture, kFrenchLabNotes,
         L"AddressWidth,Architecture,Availability,Caption,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,CpuStatus,CreationClassName,CurrentClockSpeed,CurrentVoltage,"
         L"DataWidth,Description,DeviceID,ErrorCleared,ErrorDescription,ExtClock,Family,InstallDate,"
         L"L2CacheSize,L2CacheSpeed,LastErrorCode,Level,LoadPercentage,Manufacturer,MaxClockSpeed,"
         L"Name,OtherFamilyDescription,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProcessorId,ProcessorType,Revision,Role,SocketDesignation,Status,"
         L"StatusInfo,Stepping,SystemCreationClassName,SystemName,UniqueId,UpgradeMethod,Version,"
         L"VoltageCaps",
         L"", L"AssetTag,Characteristics,L3CacheSize,L3CacheSpeed,NumberOfCores,NumberOfEnabledCore,"
         L"NumberOfLogicalProcessors,PartNumber,SecondLevelAddressTranslationExtensions,SerialNumber,"
         L"ThreadCount,VirtualizationFirmwareEnabled,VMMonitorModeExtensions"},
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

}  // namespace engine::catalogue
