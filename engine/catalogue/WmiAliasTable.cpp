#include "catalogue/WmiAliasTable.h"

namespace engine::catalogue {

namespace {

constexpr const wchar_t* kCimV2 = L"root\\cimv2";
// Remote Desktop settings live in their own namespace since Windows Vista.
constexpr const wchar_t* kTerminalServices = L"root\\cimv2\\TerminalServices";
// Temperature and voltage probes share their class layout.
constexpr const wchar_t* kProbeProperties =
    L"Accuracy,Availability,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,"
    L"CreationClassName,CurrentReading,Description,DeviceID,ErrorCleared,ErrorDescription,"
    L"InstallDate,IsLinear,LastErrorCode,LowerThresholdCritical,LowerThresholdFatal,"
    L"LowerThresholdNonCritical,MaxReadable,MinReadable,Name,NominalReading,NormalMax,NormalMin,"
    L"PNPDeviceID,PowerManagementCapabilities,PowerManagementSupported,Resolution,Status,"
    L"StatusInfo,SystemCreationClassName,SystemName,Tolerance,UpperThresholdCritical,"
    L"UpperThresholdFatal,UpperThresholdNonCritical";

}  // namespace

// Written from WMIC's alias definitions (target class and namespace) and the classes'
// documented properties less those WMIC's FULL format leaves out; WmiAliasSources.cpp says
// where each list comes from, and the README where one only approximates WMIC's.
const std::vector<WmiAlias>& WmiAliasTable() {
    static const std::vector<WmiAlias> table = {
        {L"PRODUCT", kCimV2, L"Win32_Product", L"",
         L"AssignmentType,Description,HelpLink,HelpTelephone,IdentifyingNumber,InstallDate,"
         L"InstallDate2,InstallLocation,InstallSource,InstallState,Language,LocalPackage,Name,"
         L"PackageCache,PackageCode,PackageName,ProductID,RegCompany,RegOwner,SKUNumber,"
         L"Transforms,URLInfoAbout,URLUpdateInfo,Vendor,Version,WordCount"},
        {L"DCOMAPP", kCimV2, L"Win32_DCOMApplication", L"",
         L"AppID,Caption,Description,InstallDate,Name,Status"},
        {L"SHARE", kCimV2, L"Win32_Share", L"",
         L"AccessMask,AllowMaximum,Caption,Description,InstallDate,MaximumAllowed,Name,Path,Status,Type"},
        {L"SHADOWCOPY", kCimV2, L"Win32_ShadowCopy", L"",
         L"Caption,ClientAccessible,Count,Description,DeviceObject,Differential,ExposedLocally,"
         L"ExposedName,ExposedPath,ExposedRemotely,HardwareAssisted,ID,Imported,InstallDate,Name,"
         L"NoAutoRelease,NotSurfaced,NoWriters,OriginatingMachine,Persistent,Plex,ProviderID,"
         L"ServiceMachine,SetID,State,Status,Transportable,VolumeName"},
        {L"SHADOWSTORAGE", kCimV2, L"Win32_ShadowStorage", L"",
         L"AllocatedSpace,DiffVolume,MaxSpace,UsedSpace,Volume"},
        {L"PAGEFILE", kCimV2, L"Win32_PageFileUsage", L"",
         L"AllocatedBaseSize,Caption,CurrentUsage,Description,InstallDate,Name,PeakUsage,Status,"
         L"TempPageFile"},
        {L"PAGEFILESET", kCimV2, L"Win32_PageFileSetting", L"",
         L"Caption,Description,InitialSize,MaximumSize,Name,SettingID"},
        {L"BOOTCONFIG", kCimV2, L"Win32_BootConfiguration", L"",
         L"BootDirectory,Caption,ConfigurationPath,Description,LastDrive,Name,ScratchDirectory,"
         L"SettingID,TempDirectory"},
        {L"COMPUTERSYSTEM", kCimV2, L"Win32_ComputerSystem", L"",
         L"AdminPasswordStatus,AutomaticResetBootOption,AutomaticResetCapability,"
         L"BootOptionOnLimit,BootOptionOnWatchDog,BootROMSupported,BootupState,Caption,"
         L"ChassisBootupState,CreationClassName,CurrentTimeZone,DaylightInEffect,Description,"
         L"Domain,DomainRole,EnableDaylightSavingsTime,FrontPanelResetStatus,InfraredSupported,"
         L"InitialLoadInfo,InstallDate,KeyboardPasswordStatus,LastLoadInfo,Manufacturer,Model,"
         L"Name,NameFormat,NetworkServerModeEnabled,NumberOfProcessors,OEMStringArray,"
         L"PartOfDomain,PauseAfterReset,PowerManagementCapabilities,PowerManagementSupported,"
         L"PowerOnPasswordStatus,PowerState,PowerSupplyState,PrimaryOwnerContact,PrimaryOwnerName,"
         L"ResetCapability,ResetCount,ResetLimit,Roles,Status,SupportContactDescription,"
         L"SystemStartupDelay,SystemStartupOptions,SystemStartupSetting,SystemType,ThermalState,"
         L"TotalPhysicalMemory,UserName,WakeUpType,Workgroup"},
        {L"CSPRODUCT", kCimV2, L"Win32_ComputerSystemProduct", L"",
         L"Description,IdentifyingNumber,Name,SKUNumber,UUID,Vendor,Version"},
        {L"OS", kCimV2, L"Win32_OperatingSystem", L"",
         L"BootDevice,BuildNumber,BuildType,Caption,CodeSet,CountryCode,CreationClassName,"
         L"CSCreationClassName,CSDVersion,CSName,CurrentTimeZone,"
         L"DataExecutionPrevention_32BitApplications,DataExecutionPrevention_Available,"
         L"DataExecutionPrevention_Drivers,DataExecutionPrevention_SupportPolicy,Debug,Description,"
         L"Distributed,EncryptionLevel,ForegroundApplicationBoost,FreePhysicalMemory,"
         L"FreeSpaceInPagingFiles,FreeVirtualMemory,InstallDate,LargeSystemCache,LastBootUpTime,"
         L"LocalDateTime,Locale,Manufacturer,MaxNumberOfProcesses,MaxProcessMemorySize,MUILanguages,"
         L"Name,NumberOfLicensedUsers,NumberOfProcesses,NumberOfUsers,OperatingSystemSKU,Organization,"
         L"OSArchitecture,OSLanguage,OSProductSuite,OSType,OtherTypeDescription,PAEEnabled,"
         L"PlusProductID,PlusVersionNumber,PortableOperatingSystem,Primary,ProductType,RegisteredUser,"
         L"SerialNumber,ServicePackMajorVersion,ServicePackMinorVersion,SizeStoredInPagingFiles,Status,"
         L"SuiteMask,SystemDevice,SystemDirectory,SystemDrive,TotalSwapSpaceSize,"
         L"TotalVirtualMemorySize,TotalVisibleMemorySize,Version,WindowsDirectory"},
        {L"QFE", kCimV2, L"Win32_QuickFixEngineering", L"",
         L"Caption,CSName,Description,FixComments,HotFixID,InstallDate,InstalledBy,InstalledOn,Name,"
         L"ServicePackInEffect,Status"},
        {L"RECOVEROS", kCimV2, L"Win32_OSRecoveryConfiguration", L"",
         L"AutoReboot,Caption,DebugFilePath,DebugInfoType,Description,ExpandedDebugFilePath,"
         L"ExpandedMiniDumpDirectory,KernelDumpOnly,MiniDumpDirectory,Name,OverwriteExistingDebugFile,"
         L"SendAdminAlert,SettingID,WriteDebugInfo,WriteToSystemLog"},
        {L"LOGICALDISK", kCimV2, L"Win32_LogicalDisk", L"",
         L"Access,Availability,BlockSize,Caption,Compressed,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,Description,DeviceID,DriveType,ErrorCleared,ErrorDescription,"
         L"ErrorMethodology,FileSystem,FreeSpace,InstallDate,LastErrorCode,MaximumComponentLength,"
         L"MediaType,Name,NumberOfBlocks,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProviderName,Purpose,QuotasDisabled,QuotasIncomplete,"
         L"QuotasRebuilding,Size,Status,StatusInfo,SupportsDiskQuotas,"
         L"SupportsFileBasedCompression,VolumeName,VolumeSerialNumber"},
        {L"PARTITION", kCimV2, L"Win32_DiskPartition", L"",
         L"Access,Availability,BlockSize,Bootable,BootPartition,Caption,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,Description,DeviceID,DiskIndex,ErrorCleared,ErrorDescription,"
         L"ErrorMethodology,HiddenSectors,Index,InstallDate,LastErrorCode,Name,NumberOfBlocks,"
         L"PNPDeviceID,PowerManagementCapabilities,PowerManagementSupported,PrimaryPartition,"
         L"Purpose,RewritePartition,Size,StartingOffset,Status,StatusInfo,Type"},
        {L"QUOTASETTING", kCimV2, L"Win32_QuotaSetting", L"",
         L"Caption,DefaultLimit,DefaultWarningLimit,Description,ExceededNotification,SettingID,State,"
         L"VolumePath,WarningExceededNotification"},
        {L"VOLUME", kCimV2, L"Win32_Volume", L"",
         L"Access,Automount,Availability,BlockSize,BootVolume,Capacity,Caption,Compressed,"
         L"ConfigManagerErrorCode,ConfigManagerUserConfig,Description,DeviceID,DirtyBitSet,"
         L"DriveLetter,DriveType,ErrorCleared,ErrorDescription,ErrorMethodology,FileSystem,"
         L"FreeSpace,IndexingEnabled,InstallDate,Label,LastErrorCode,MaximumFileNameLength,Name,"
         L"NumberOfBlocks,PageFilePresent,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,Purpose,QuotasEnabled,QuotasIncomplete,QuotasRebuilding,"
         L"SerialNumber,Status,StatusInfo,SupportsDiskQuotas,SupportsFileBasedCompression,"
         L"SystemVolume"},
        {L"VOLUMEQUOTASETTING", kCimV2, L"Win32_VolumeQuotaSetting", L"",
         L"Element,Setting"},
        {L"JOB", kCimV2, L"Win32_ScheduledJob", L"",
         L"Caption,Command,DaysOfMonth,DaysOfWeek,Description,ElapsedTime,InstallDate,"
         L"InteractWithDesktop,JobId,JobStatus,Name,Notify,Owner,Priority,RunRepeatedly,StartTime,"
         L"Status,TimeSubmitted,UntilTime"},
        {L"LOADORDER", kCimV2, L"Win32_LoadOrderGroup", L"",
         L"Caption,Description,DriverEnabled,GroupOrder,InstallDate,Name,Status"},
        {L"SERVER", kCimV2, L"Win32_PerfRawData_PerfNet_Server", L"",
         L"BlockingRequestsRejected,BytesReceivedPersec,BytesTotalPersec,BytesTransmittedPersec,"
         L"Caption,ContextBlocksQueuedPersec,Description,ErrorsAccessPermissions,ErrorsGrantedAccess,"
         L"ErrorsLogon,ErrorsSystem,FileDirectorySearches,FilesOpen,FilesOpenedTotal,Frequency_Object,"
         L"Frequency_PerfTime,Frequency_Sys100NS,LogonPersec,LogonTotal,Name,PoolNonpagedBytes,"
         L"PoolNonpagedFailures,PoolNonpagedPeak,PoolPagedBytes,PoolPagedFailures,PoolPagedPeak,"
         L"ServerSessions,SessionsErroredOut,SessionsForcedOff,SessionsLoggedOff,SessionsTimedOut,"
         L"Timestamp_Object,Timestamp_PerfTime,Timestamp_Sys100NS,WorkItemShortages"},
        {L"SERVICE", kCimV2, L"Win32_Service", L"",
         L"AcceptPause,AcceptStop,Caption,CheckPoint,CreationClassName,Description,DesktopInteract,"
         L"DisplayName,ErrorControl,ExitCode,InstallDate,Name,PathName,ProcessId,ServiceSpecificExitCode,"
         L"ServiceType,Started,StartMode,StartName,State,Status,SystemCreationClassName,SystemName,TagId,"
         L"WaitHint"},
        {L"DESKTOP", kCimV2, L"Win32_Desktop", L"",
         L"BorderWidth,Caption,CoolSwitch,CursorBlinkRate,Description,DragFullWindows,GridGranularity,"
         L"IconSpacing,IconTitleFaceName,IconTitleSize,IconTitleWrap,Name,Pattern,ScreenSaverActive,"
         L"ScreenSaverExecutable,ScreenSaverSecure,ScreenSaverTimeout,SettingID,Wallpaper,"
         L"WallpaperStretched,WallpaperTiled"},
        {L"ENVIRONMENT", kCimV2, L"Win32_Environment", L"",
         L"Caption,Description,InstallDate,Name,Status,SystemVariable,UserName,VariableValue"},
        {L"TIMEZONE", kCimV2, L"Win32_TimeZone", L"",
         L"Bias,Caption,DaylightBias,DaylightDay,DaylightDayOfWeek,DaylightHour,DaylightMillisecond,"
         L"DaylightMinute,DaylightMonth,DaylightName,DaylightSecond,DaylightYear,Description,SettingID,"
         L"StandardBias,StandardDay,StandardDayOfWeek,StandardHour,StandardMillisecond,StandardMinute,"
         L"StandardMonth,StandardName,StandardSecond,StandardYear"},
        {L"REGISTRY", kCimV2, L"Win32_Registry", L"",
         L"Caption,CurrentSize,Description,InstallDate,MaximumSize,Name,ProposedSize,Status"},
        {L"GROUP", kCimV2, L"Win32_Group", L"",
         L"Description,Domain,InstallDate,LocalAccount,Name,SID,SIDType,Status"},
        {L"LOGON", kCimV2, L"Win32_LogonSession", L"",
         L"AuthenticationPackage,Caption,Description,InstallDate,LogonId,LogonType,Name,StartTime,"
         L"Status"},
        {L"STARTUP", kCimV2, L"Win32_StartupCommand", L"",
         L"Caption,Command,Description,Location,Name,SettingID,User,UserSID"},
        {L"SYSACCOUNT", kCimV2, L"Win32_SystemAccount", L"",
         L"Description,Domain,InstallDate,LocalAccount,Name,SID,SIDType,Status"},
        {L"USERACCOUNT", kCimV2, L"Win32_UserAccount", L"",
         L"AccountType,Description,Disabled,Domain,FullName,InstallDate,LocalAccount,Lockout,Name,"
         L"PasswordChangeable,PasswordExpires,PasswordRequired,SID,SIDType,Status"},
        {L"NETCLIENT", kCimV2, L"Win32_NetworkClient", L"",
         L"Caption,Description,InstallDate,Manufacturer,Name,Status"},
        {L"NETLOGIN", kCimV2, L"Win32_NetworkLoginProfile", L"",
         L"AccountExpires,AuthorizationFlags,BadPasswordCount,Caption,CodePage,Comment,CountryCode,"
         L"Description,Flags,FullName,HomeDirectory,HomeDirectoryDrive,LastLogoff,LastLogon,LogonHours,"
         L"LogonServer,MaximumStorage,Name,NumberOfLogons,Parameters,PasswordAge,PasswordExpires,"
         L"PrimaryGroupId,Privileges,Profile,ScriptPath,SettingID,UnitsPerWeek,UserComment,UserId,"
         L"UserType,Workstations"},
        {L"NETPROTOCOL", kCimV2, L"Win32_NetworkProtocol", L"",
         L"Caption,ConnectionlessService,Description,GuaranteesDelivery,GuaranteesSequencing,"
         L"InstallDate,MaximumAddressSize,MaximumMessageSize,MessageOriented,MinimumAddressSize,Name,"
         L"PseudoStreamOriented,Status,SupportsBroadcasting,SupportsConnectData,SupportsDisconnectData,"
         L"SupportsEncryption,SupportsExpeditedData,SupportsFragmentation,SupportsGracefulClosing,"
         L"SupportsGuaranteedBandwidth,SupportsMulticasting,SupportsQualityofService"},
        {L"NETUSE", kCimV2, L"Win32_NetworkConnection", L"",
         L"AccessMask,Caption,Comment,ConnectionState,ConnectionType,Description,DisplayType,"
         L"InstallDate,LocalName,Name,Persistent,ProviderName,RemoteName,RemotePath,ResourceType,"
         L"Status,UserName"},
        {L"NIC", kCimV2, L"Win32_NetworkAdapter", L"",
         L"AdapterType,AdapterTypeId,AutoSense,Availability,Caption,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,CreationClassName,Description,DeviceID,ErrorCleared,"
         L"ErrorDescription,GUID,Index,InstallDate,Installed,InterfaceIndex,LastErrorCode,MACAddress,"
         L"Manufacturer,MaxNumberControlled,MaxSpeed,Name,NetConnectionID,NetConnectionStatus,"
         L"NetEnabled,NetworkAddresses,PermanentAddress,PhysicalAdapter,PNPDeviceID,"
         L"PowerManagementCapabilities,PowerManagementSupported,ProductName,ServiceName,Speed,Status,"
         L"StatusInfo,SystemCreationClassName,SystemName,TimeOfLastReset"},
        {L"NICCONFIG", kCimV2, L"Win32_NetworkAdapterConfiguration", L"",
         L"ArpAlwaysSourceRoute,ArpUseEtherSNAP,Caption,DatabasePath,DeadGWDetectEnabled,"
         L"DefaultIPGateway,DefaultTOS,DefaultTTL,Description,DHCPEnabled,DHCPLeaseExpires,"
         L"DHCPLeaseObtained,DHCPServer,DNSDomain,DNSDomainSuffixSearchOrder,"
         L"DNSEnabledForWINSResolution,DNSHostName,DNSServerSearchOrder,DomainDNSRegistrationEnabled,"
         L"ForwardBufferMemory,FullDNSRegistrationEnabled,GatewayCostMetric,IGMPLevel,Index,"
         L"InterfaceIndex,IPAddress,IPConnectionMetric,IPEnabled,IPFilterSecurityEnabled,"
         L"IPPortSecurityEnabled,IPSecPermitIPProtocols,IPSecPermitTCPPorts,IPSecPermitUDPPorts,"
         L"IPSubnet,IPUseZeroBroadcast,IPXAddress,IPXEnabled,IPXFrameType,IPXMediaType,"
         L"IPXNetworkNumber,IPXVirtualNetNumber,KeepAliveInterval,KeepAliveTime,MACAddress,MTU,"
         L"NumForwardPackets,PMTUBHDetectEnabled,PMTUDiscoveryEnabled,ServiceName,SettingID,"
         L"TcpipNetbiosOptions,TcpMaxConnectRetransmissions,TcpMaxDataRetransmissions,"
         L"TcpNumConnections,TcpUseRFC1122UrgentPointer,TcpWindowSize,WINSEnableLMHostsLookup,"
         L"WINSHostLookupFile,WINSPrimaryServer,WINSScopeID,WINSSecondaryServer"},
        {L"NTDOMAIN", kCimV2, L"Win32_NTDomain", L"",
         L"Caption,ClientSiteName,CreationClassName,DcSiteName,Description,DnsForestName,"
         L"DomainControllerAddress,DomainControllerAddressType,DomainControllerName,DomainGuid,"
         L"DomainName,DSDirectoryServiceFlag,DSDnsControllerFlag,DSDnsDomainFlag,DSDnsForestFlag,"
         L"DSGlobalCatalogFlag,DSKerberosDistributionCenterFlag,DSPrimaryDomainControllerFlag,"
         L"DSTimeServiceFlag,DSWritableFlag,InstallDate,Name,NameFormat,PrimaryOwnerContact,"
         L"PrimaryOwnerName,Roles,Status"},
        {L"RDACCOUNT", kTerminalServices, L"Win32_TSAccount", L"",
         L"AccountName,Caption,Description,PermissionsAllowed,PermissionsDenied,SettingID,SID,"
         L"TerminalName"},
        {L"RDNIC", kTerminalServices, L"Win32_TSNetworkAdapterSetting", L"",
         L"Caption,Description,MaximumConnections,NetworkAdapterID,NetworkAdapterIP,NetworkAdapterName,"
         L"SettingID,TerminalName"},
        {L"RDPERMISSIONS", kTerminalServices, L"Win32_TSPermissionsSetting", L"",
         L"Caption,Description,SettingID,StringSecurityDescriptor,TerminalName"},
        {L"RDTOGGLE", kTerminalServices, L"Win32_TerminalServiceSetting", L"",
         L"ActiveDesktop,AllowTSConnections,Caption,DeleteTempFolders,Description,"
         L"DirectConnectLicenseServers,DisableForcibleLogoff,HomeDirectory,LicensingDescription,"
         L"LicensingName,LicensingType,Logons,ProfilePath,ServerName,SettingID,SingleSession,"
         L"TerminalServerMode,UserPermission,UseTempFolders"},
        {L"PROCESS", kCimV2, L"Win32_Process", L"",
         L"Caption,CommandLine,CreationClassName,CreationDate,CSCreationClassName,CSName,Description,"
         L"ExecutablePath,ExecutionState,Handle,HandleCount,InstallDate,KernelModeTime,"
         L"MaximumWorkingSetSize,MinimumWorkingSetSize,Name,OSCreationClassName,OSName,"
         L"OtherOperationCount,OtherTransferCount,PageFaults,PageFileUsage,ParentProcessId,"
         L"PeakPageFileUsage,PeakVirtualSize,PeakWorkingSetSize,Priority,PrivatePageCount,ProcessId,"
         L"QuotaNonPagedPoolUsage,QuotaPagedPoolUsage,QuotaPeakNonPagedPoolUsage,"
         L"QuotaPeakPagedPoolUsage,ReadOperationCount,ReadTransferCount,SessionId,Status,"
         L"TerminationDate,ThreadCount,UserModeTime,VirtualSize,WindowsVersion,WorkingSetSize,"
         L"WriteOperationCount,WriteTransferCount"},
        {L"SYSDRIVER", kCimV2, L"Win32_SystemDriver", L"",
         L"AcceptPause,AcceptStop,Caption,CreationClassName,Description,DesktopInteract,DisplayName,"
         L"ErrorControl,ExitCode,InstallDate,Name,PathName,ServiceSpecificExitCode,ServiceType,Started,"
         L"StartMode,StartName,State,Status,SystemCreationClassName,SystemName,TagId"},
        {L"BASEBOARD", kCimV2, L"Win32_BaseBoard", L"",
         L"ConfigOptions,Depth,Description,Height,HostingBoard,HotSwappable,InstallDate,"
         L"Manufacturer,Model,Name,OtherIdentifyingInfo,PartNumber,PoweredOn,Product,Removable,"
         L"Replaceable,RequirementsDescription,RequiresDaughterBoard,SerialNumber,SKU,SlotLayout,"
         L"SpecialRequirements,Status,Tag,Version,Weight,Width"},
        {L"BIOS", kCimV2, L"Win32_BIOS", L"",
         L"BiosCharacteristics,BuildNumber,CodeSet,CurrentLanguage,Description,IdentificationCode,"
         L"InstallableLanguages,InstallDate,LanguageEdition,ListOfLanguages,Manufacturer,Name,"
         L"OtherTargetOS,PrimaryBIOS,ReleaseDate,SerialNumber,SMBIOSBIOSVersion,SMBIOSMajorVersion,"
         L"SMBIOSMinorVersion,SMBIOSPresent,SoftwareElementID,SoftwareElementState,Status,"
         L"TargetOperatingSystem,Version"},
        {L"DEVICEMEMORYADDRESS", kCimV2, L"Win32_DeviceMemoryAddress", L"",
         L"Caption,CreationClassName,CSCreationClassName,CSName,Description,EndingAddress,InstallDate,"
         L"MemoryType,Name,StartingAddress,Status"},
        {L"DMACHANNEL", kCimV2, L"Win32_DMAChannel", L"",
         L"AddressSize,Availability,BurstMode,ByteMode,Caption,ChannelTiming,CreationClassName,"
         L"CSCreationClassName,CSName,Description,DMAChannel,InstallDate,MaxTransferSize,Name,Port,"
         L"Status,TransferWidths,TypeCTiming,WordMode"},
        {L"IDECONTROLLER", kCimV2, L"Win32_IDEController", L"",
         L"Availability,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,"
         L"Description,DeviceID,ErrorCleared,ErrorDescription,InstallDate,LastErrorCode,Manufacturer,"
         L"MaxNumberControlled,Name,PNPDeviceID,PowerManagementCapabilities,PowerManagementSupported,"
         L"ProtocolSupported,Status,StatusInfo,SystemCreationClassName,SystemName,TimeOfLastReset"},
        {L"PORT", kCimV2, L"Win32_PortResource", L"",
         L"Alias,Caption,CreationClassName,CSCreationClassName,CSName,Description,EndingAddress,"
         L"InstallDate,Name,StartingAddress,Status"},
        {L"IRQ", kCimV2, L"Win32_IRQResource", L"",
         L"Availability,Caption,CreationClassName,CSCreationClassName,CSName,Description,Hardware,"
         L"InstallDate,IRQNumber,Name,Shareable,Status,TriggerLevel,TriggerType,Vector"},
        {L"MEMCACHE", kCimV2, L"Win32_CacheMemory", L"",
         L"Access,AdditionalErrorData,Associativity,Availability,BlockSize,CacheSpeed,CacheType,"
         L"Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,CorrectableError,CreationClassName,"
         L"CurrentSRAM,Description,DeviceID,EndingAddress,ErrorAccess,ErrorAddress,ErrorCleared,"
         L"ErrorCorrectType,ErrorData,ErrorDataOrder,ErrorDescription,ErrorInfo,ErrorMethodology,"
         L"ErrorResolution,ErrorTime,ErrorTransferSize,FlushTimer,InstallDate,InstalledSize,"
         L"LastErrorCode,Level,LineSize,Location,MaxCacheSize,Name,NumberOfBlocks,"
         L"OtherErrorDescription,PNPDeviceID,PowerManagementCapabilities,PowerManagementSupported,"
         L"Purpose,ReadPolicy,ReplacementPolicy,StartingAddress,Status,StatusInfo,SupportedSRAM,"
         L"SystemCreationClassName,SystemLevelAddress,SystemName,WritePolicy"},
        {L"MEMORYCHIP", kCimV2, L"Win32_PhysicalMemory", L"",
         L"BankLabel,Capacity,DataWidth,Description,DeviceLocator,FormFactor,HotSwappable,"
         L"InstallDate,InterleaveDataDepth,InterleavePosition,Manufacturer,MemoryType,Model,Name,"
         L"OtherIdentifyingInfo,PartNumber,PositionInRow,PoweredOn,Removable,Replaceable,"
         L"SerialNumber,SKU,Speed,Status,Tag,TotalWidth,TypeDetail,Version"},
        {L"MEMPHYSICAL", kCimV2, L"Win32_PhysicalMemoryArray", L"",
         L"Depth,Description,Height,HotSwappable,InstallDate,Location,Manufacturer,MaxCapacity,"
         L"MemoryDevices,MemoryErrorCorrection,Model,Name,OtherIdentifyingInfo,PartNumber,"
         L"PoweredOn,Removable,Replaceable,SerialNumber,SKU,Status,Tag,Use,Version,Weight,Width"},
        {L"ONBOARDDEVICE", kCimV2, L"Win32_OnBoardDevice", L"",
         L"Description,DeviceType,Enabled,HotSwappable,InstallDate,Manufacturer,Model,Name,"
         L"OtherIdentifyingInfo,PartNumber,PoweredOn,Removable,Replaceable,SerialNumber,SKU,"
         L"Status,Tag,Version"},
        {L"PORTCONNECTOR", kCimV2, L"Win32_PortConnector", L"",
         L"ConnectorPinout,ConnectorType,Description,ExternalReferenceDesignator,InstallDate,"
         L"InternalReferenceDesignator,Manufacturer,Model,Name,OtherIdentifyingInfo,PartNumber,"
         L"PortType,PoweredOn,SerialNumber,SKU,Status,Tag,Version"},
        {L"SCSICONTROLLER", kCimV2, L"Win32_SCSIController", L"",
         L"Availability,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,ControllerTimeouts,"
         L"CreationClassName,Description,DeviceID,DeviceMap,DriverName,ErrorCleared,ErrorDescription,"
         L"HardwareVersion,Index,InstallDate,LastErrorCode,Manufacturer,MaxDataWidth,"
         L"MaxNumberControlled,MaxTransferRate,Name,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProtectionManagement,ProtocolSupported,Status,StatusInfo,"
         L"SystemCreationClassName,SystemName,TimeOfLastReset"},
        {L"SOUNDDEV", kCimV2, L"Win32_SoundDevice", L"",
         L"Availability,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,"
         L"Description,DeviceID,DMABufferSize,ErrorCleared,ErrorDescription,InstallDate,LastErrorCode,"
         L"Manufacturer,MPU401Address,Name,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProductName,Status,StatusInfo,SystemCreationClassName,SystemName"},
        {L"SYSTEMENCLOSURE", kCimV2, L"Win32_SystemEnclosure", L"",
         L"AudibleAlarm,BreachDescription,CableManagementStrategy,ChassisTypes,"
         L"CurrentRequiredOrProduced,Depth,Description,HeatGeneration,Height,HotSwappable,"
         L"InstallDate,LockPresent,Manufacturer,Model,Name,NumberOfPowerCords,"
         L"OtherIdentifyingInfo,PartNumber,PoweredOn,Removable,Replaceable,SecurityBreach,"
         L"SecurityStatus,SerialNumber,ServiceDescriptions,ServicePhilosophy,SKU,SMBIOSAssetTag,"
         L"Status,Tag,TypeDescriptions,Version,VisibleAlarm,Weight,Width"},
        {L"SYSTEMSLOT", kCimV2, L"Win32_SystemSlot", L"",
         L"BusNumber,ConnectorPinout,ConnectorType,CurrentUsage,Description,DeviceNumber,"
         L"FunctionNumber,HeightAllowed,InstallDate,LengthAllowed,Manufacturer,MaxDataWidth,Model,"
         L"Name,Number,OtherIdentifyingInfo,PartNumber,PMESignal,PoweredOn,PurposeDescription,"
         L"SegmentGroupNumber,SerialNumber,SKU,SpecialPurpose,Status,SupportsHotPlug,Tag,"
         L"ThermalRating,VccMixedVoltageSupport,Version,VppMixedVoltageSupport"},
        {L"CPU", kCimV2, L"Win32_Processor", L"",
         L"AddressWidth,Architecture,Availability,Caption,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,CpuStatus,CreationClassName,CurrentClockSpeed,CurrentVoltage,"
         L"DataWidth,Description,DeviceID,ErrorCleared,ErrorDescription,ExtClock,Family,"
         L"InstallDate,L2CacheSize,L2CacheSpeed,LastErrorCode,Level,LoadPercentage,Manufacturer,"
         L"MaxClockSpeed,Name,OtherFamilyDescription,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ProcessorId,ProcessorType,Revision,Role,SocketDesignation,"
         L"Status,StatusInfo,Stepping,SystemCreationClassName,SystemName,UniqueId,UpgradeMethod,"
         L"Version,VoltageCaps"},
        {L"CDROM", kCimV2, L"Win32_CDROMDrive", L"",
         L"Availability,Capabilities,CapabilityDescriptions,Caption,CompressionMethod,"
         L"ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,DefaultBlockSize,"
         L"Description,DeviceID,Drive,DriveIntegrity,ErrorCleared,ErrorDescription,ErrorMethodology,"
         L"FileSystemFlags,FileSystemFlagsEx,Id,InstallDate,LastErrorCode,Manufacturer,MaxBlockSize,"
         L"MaximumComponentLength,MaxMediaSize,MediaLoaded,MediaType,MfrAssignedRevisionLevel,"
         L"MinBlockSize,Name,NeedsCleaning,NumberOfMediaSupported,PNPDeviceID,"
         L"PowerManagementCapabilities,PowerManagementSupported,RevisionLevel,SCSIBus,SCSILogicalUnit,"
         L"SCSIPort,SCSITargetId,SerialNumber,Size,Status,StatusInfo,SystemCreationClassName,"
         L"SystemName,TransferRate,VolumeName,VolumeSerialNumber"},
        {L"DISKDRIVE", kCimV2, L"Win32_DiskDrive", L"",
         L"Availability,BytesPerSector,Capabilities,CapabilityDescriptions,Caption,CompressionMethod,"
         L"ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,DefaultBlockSize,"
         L"Description,DeviceID,ErrorCleared,ErrorDescription,ErrorMethodology,FirmwareRevision,Index,"
         L"InstallDate,InterfaceType,LastErrorCode,Manufacturer,MaxBlockSize,MaxMediaSize,MediaLoaded,"
         L"MediaType,MinBlockSize,Model,Name,NeedsCleaning,NumberOfMediaSupported,Partitions,"
         L"PNPDeviceID,PowerManagementCapabilities,PowerManagementSupported,SCSIBus,SCSILogicalUnit,"
         L"SCSIPort,SCSITargetId,SectorsPerTrack,SerialNumber,Signature,Size,Status,StatusInfo,"
         L"SystemCreationClassName,SystemName,TotalCylinders,TotalHeads,TotalSectors,TotalTracks,"
         L"TracksPerCylinder"},
        {L"TAPEDRIVE", kCimV2, L"Win32_TapeDrive", L"",
         L"Availability,Capabilities,CapabilityDescriptions,Caption,Compression,CompressionMethod,"
         L"ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,DefaultBlockSize,"
         L"Description,DeviceID,ECC,EOTWarningZoneSize,ErrorCleared,ErrorDescription,ErrorMethodology,"
         L"FeaturesHigh,FeaturesLow,Id,InstallDate,LastErrorCode,Manufacturer,MaxBlockSize,"
         L"MaxMediaSize,MaxPartitionCount,MediaType,MinBlockSize,Name,NeedsCleaning,"
         L"NumberOfMediaSupported,Padding,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ReportSetMarks,Status,StatusInfo,SystemCreationClassName,SystemName"},
        {L"PRINTER", kCimV2, L"Win32_Printer", L"",
         L"Attributes,Availability,AvailableJobSheets,AveragePagesPerMinute,Capabilities,"
         L"CapabilityDescriptions,Caption,CharSetsSupported,Comment,ConfigManagerErrorCode,"
         L"ConfigManagerUserConfig,CreationClassName,CurrentCapabilities,CurrentCharSet,"
         L"CurrentLanguage,CurrentMimeType,CurrentNaturalLanguage,CurrentPaperType,Default,"
         L"DefaultCapabilities,DefaultCopies,DefaultLanguage,DefaultMimeType,DefaultNumberUp,"
         L"DefaultPaperType,DefaultPriority,Description,DetectedErrorState,DeviceID,Direct,"
         L"DoCompleteFirst,DriverName,EnableBIDI,EnableDevQueryPrint,ErrorCleared,ErrorDescription,"
         L"ErrorInformation,ExtendedDetectedErrorState,ExtendedPrinterStatus,Hidden,"
         L"HorizontalResolution,InstallDate,JobCountSinceLastReset,KeepPrintedJobs,LanguagesSupported,"
         L"LastErrorCode,Local,Location,MarkingTechnology,MaxCopies,MaxNumberUp,MaxSizeSupported,"
         L"MimeTypesSupported,Name,NaturalLanguagesSupported,Network,PaperSizesSupported,"
         L"PaperTypesAvailable,Parameters,PNPDeviceID,PortName,PowerManagementCapabilities,"
         L"PowerManagementSupported,PrinterPaperNames,PrinterState,PrinterStatus,PrintJobDataType,"
         L"PrintProcessor,Priority,Published,Queued,RawOnly,SeparatorFile,ServerName,Shared,ShareName,"
         L"SpoolEnabled,StartTime,Status,StatusInfo,SystemCreationClassName,SystemName,TimeOfLastReset,"
         L"UntilTime,VerticalResolution,WorkOffline"},
        {L"PRINTERCONFIG", kCimV2, L"Win32_PrinterConfiguration", L"",
         L"BitsPerPel,Caption,Collate,Color,Copies,Description,DeviceName,DisplayFlags,"
         L"DisplayFrequency,DitherType,DriverVersion,Duplex,FormName,HorizontalResolution,ICMIntent,"
         L"ICMMethod,LogPixels,MediaType,Name,Orientation,PaperLength,PaperSize,PaperWidth,PelsHeight,"
         L"PelsWidth,PrintQuality,Scale,SettingID,SpecificationVersion,TTOption,VerticalResolution,"
         L"XResolution,YResolution"},
        {L"PRINTJOB", kCimV2, L"Win32_PrintJob", L"",
         L"Caption,Color,DataType,Description,Document,DriverName,ElapsedTime,HostPrintQueue,"
         L"InstallDate,JobId,JobStatus,Name,Notify,Owner,PagesPrinted,PaperLength,PaperSize,PaperWidth,"
         L"Parameters,PrintProcessor,Priority,Size,SizeHigh,StartTime,Status,StatusMask,TimeSubmitted,"
         L"TotalPages,UntilTime"},
        {L"TEMPERATURE", kCimV2, L"Win32_TemperatureProbe", L"", kProbeProperties},
        {L"UPS", kCimV2, L"Win32_UninterruptiblePowerSupply", L"",
         L"ActiveInputVoltage,Availability,BatteryInstalled,CanTurnOffRemotely,Caption,CommandFile,"
         L"ConfigManagerErrorCode,ConfigManagerUserConfig,CreationClassName,Description,DeviceID,"
         L"ErrorCleared,ErrorDescription,EstimatedChargeRemaining,EstimatedRunTime,FirstMessageDelay,"
         L"InstallDate,IsSwitchingSupply,LastErrorCode,LowBatterySignal,MessageInterval,Name,"
         L"PNPDeviceID,PowerFailSignal,PowerManagementCapabilities,PowerManagementSupported,"
         L"Range1InputFrequencyHigh,Range1InputFrequencyLow,Range1InputVoltageHigh,"
         L"Range1InputVoltageLow,Range2InputFrequencyHigh,Range2InputFrequencyLow,"
         L"Range2InputVoltageHigh,Range2InputVoltageLow,RemainingCapacityStatus,Status,StatusInfo,"
         L"SystemCreationClassName,SystemName,TimeOnBackup,TotalOutputPower,TypeOfRangeSwitching,"
         L"UPSPort"},
        {L"VOLTAGE", kCimV2, L"Win32_VoltageProbe", L"", kProbeProperties},
        {L"DESKTOPMONITOR", kCimV2, L"Win32_DesktopMonitor", L"",
         L"Availability,Bandwidth,Caption,ConfigManagerErrorCode,ConfigManagerUserConfig,"
         L"CreationClassName,Description,DeviceID,DisplayType,ErrorCleared,ErrorDescription,"
         L"InstallDate,IsLocked,LastErrorCode,MonitorManufacturer,MonitorType,Name,"
         L"PixelsPerXLogicalInch,PixelsPerYLogicalInch,PNPDeviceID,PowerManagementCapabilities,"
         L"PowerManagementSupported,ScreenHeight,ScreenWidth,Status,StatusInfo,SystemCreationClassName,"
         L"SystemName"},
    };
    return table;
}

const WmiAlias* FindWmiAlias(const std::wstring& alias) {
    for (const WmiAlias& row : WmiAliasTable())
        if (alias == row.alias) return &row;
    return nullptr;
}

std::vector<std::wstring> AliasProperties(const WmiAlias& alias) {
    std::vector<std::wstring> names;
    const std::wstring list = alias.properties;
    size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const size_t comma = list.find(L',', start);
        names.push_back(list.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return names;
}

}  // namespace engine::catalogue
