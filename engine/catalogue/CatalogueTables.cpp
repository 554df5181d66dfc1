#include "catalogue/CatalogueTables.h"

namespace engine::catalogue {

// WMIC aliases: folder, then (alias, description); the description names the report file.
const std::vector<AliasFolder>& WmicTable() {
    static const std::vector<AliasFolder> table = {
        {L"安装应用程序", {
            {L"PRODUCT", L"安装程序包任务管理"}}},
        {L"操作系统\\COM", {
            {L"DCOMAPP", L"DCOM应用程序管理"}}},
        {L"操作系统\\共享", {
            {L"SHARE", L"共享资源管理"}}},
        {L"操作系统\\存储", {
            {L"SHADOWCOPY", L"卷影副本管理"},
            {L"SHADOWSTORAGE", L"卷影副本存储区域管理"}}},
        {L"操作系统\\存储页面文件", {
            {L"PAGEFILE", L"虚拟内存文件交换管理"},
            {L"PAGEFILESET", L"页面文件设置管理"}}},
        {L"操作系统\\操作系统设置", {
            {L"BOOTCONFIG", L"启动配置管理"},
            {L"COMPUTERSYSTEM", L"计算机系统管理"},
            {L"CSPRODUCT", L"SMBIOS中的计算机系统产品信息"},
            {L"OS", L"已安装操作系统的管理"},
            {L"QFE", L"系统补丁"},
            {L"RECOVEROS", L"操作系统出现故障时将从内存收集的信息"}}},
        {L"操作系统\\文件系统", {
            {L"LOGICALDISK", L"本地存储设备管理"},
            {L"PARTITION", L"物理磁盘的已分区区域的管理"},
            {L"QUOTASETTING", L"卷上的磁盘配额设置信息"},
            {L"VOLUME", L"本地存储卷管理"},
            {L"VOLUMEQUOTASETTING", L"将磁盘配额设置与特定磁盘卷相关联"}}},
        {L"操作系统\\服务", {
            {L"JOB", L"提供对使用计划服务安排的作业的访问"},
            {L"LOADORDER", L"定义执行依赖关系的系统服务的管理"},
            {L"SERVER", L"服务器信息管理"},
            {L"SERVICE", L"服务应用程序管理"}}},
        {L"操作系统\\桌面", {
            {L"DESKTOP", L"用户的桌面管理"},
            {L"ENVIRONMENT", L"系统环境设置管理"},
            {L"TIMEZONE", L"时区数据管理"}}},
        {L"操作系统\\注册", {
            {L"REGISTRY", L"计算机系统注册表管理"}}},
        {L"操作系统\\用户", {
            {L"GROUP", L"组帐户管理"},
            {L"LOGON", L"登录会话"},
            {L"STARTUP", L"当用户登录到计算机系统时自动运行的命令的管理"},
            {L"SYSACCOUNT", L"系统帐户管理"},
            {L"USERACCOUNT", L"用户帐户管理"}}},
        {L"操作系统\\网络", {
            {L"NETCLIENT", L"网络客户端管理"},
            {L"NETLOGIN", L"网络登录信息(属于特定用户)管理"},
            {L"NETPROTOCOL", L"协议(及其网络特征)管理"},
            {L"NETUSE", L"活动网络连接管理"},
            {L"NIC", L"网络接口控制器(NIC)管理"},
            {L"NICCONFIG", L"网络适配器管理"},
            {L"NTDOMAIN", L"NT域管理"},
            {L"RDACCOUNT", L"远程桌面连接权限管理"},
            {L"RDNIC", L"对特定网络适配器的远程桌面连接管理"},
            {L"RDPERMISSIONS", L"特定远程桌面连接的权限"},
            {L"RDTOGGLE", L"远程打开或关闭远程桌面侦听程序"}}},
        {L"操作系统\\进程", {
            {L"PROCESS", L"进程管理"}}},
        {L"操作系统\\驱动程序", {
            {L"SYSDRIVER", L"基本服务的系统驱动程序管理"}}},
        // Not alphabetical: PORT comes before IRQ and CPU is last, and they run in this order.
        {L"硬件\\主板、控制器、端口", {
            {L"BASEBOARD", L"基板(也称为主板或系统板)管理"},
            {L"BIOS", L"基本输入-输出服务(BIOS)管理"},
            {L"DEVICEMEMORYADDRESS", L"设备内存地址管理"},
            {L"DMACHANNEL", L"直接内存访问(DMA)通道管理"},
            {L"IDECONTROLLER", L"IDE控制器管理"},
            {L"PORT", L"I-O端口管理"},
            {L"IRQ", L"中断请求线路(IRQ)管理"},
            {L"MEMCACHE", L"缓存内存管理"},
            {L"MEMORYCHIP", L"内存芯片信息"},
            {L"MEMPHYSICAL", L"计算机系统的物理内存管理"},
            {L"ONBOARDDEVICE", L"主板(系统板)中内置的通用适配器设备的管理"},
            {L"PORTCONNECTOR", L"物理连接端口管理"},
            {L"SCSICONTROLLER", L"SCSI控制器管理"},
            {L"SOUNDDEV", L"声音设备管理"},
            {L"SYSTEMENCLOSURE", L"物理系统外壳管理"},
            {L"SYSTEMSLOT", L"物理连接点(包括端口、插槽和外设以及专用连接点)的管理"},
            {L"CPU", L"CPU管理"}}},
        {L"硬件\\大容量存储", {
            {L"CDROM", L"CD-ROM管理"},
            {L"DISKDRIVE", L"物理磁盘驱动器管理"},
            {L"TAPEDRIVE", L"磁带驱动器管理"}}},
        {L"硬件\\打印", {
            {L"PRINTER", L"打印机设备管理"},
            {L"PRINTERCONFIG", L"打印机设备配置管理"},
            {L"PRINTJOB", L"打印作业管理"}}},
        {L"硬件\\温控设备", {
            {L"TEMPERATURE", L"温度传感器(电子温度计)数据管理"}}},
        {L"硬件\\电源", {
            {L"UPS", L"不间断电源(UPS)管理"},
            {L"VOLTAGE", L"电压传感器(电子电压表)数据管理"}}},
        {L"硬件\\视频设备", {
            {L"DESKTOPMONITOR", L"桌面监视器管理"}}},
    };
    return table;
}

// WMI classes of hardware and performance counters; the report file is the class without "Win32_".
const std::vector<ClassFolder>& WmiDeviceTable() {
    static const std::vector<ClassFolder> table = {
        {L"性能计数器\\原始性能计数器", {
            L"Win32_PerfRawData_PerfDisk_LogicalDisk",
            L"Win32_PerfRawData_PerfDisk_PhysicalDisk",
            L"Win32_PerfRawData_PerfNet_Server",
            L"Win32_PerfRawData_PerfNet_ServerWorkQueues",
            L"Win32_PerfRawData_PerfOS_Cache",
            L"Win32_PerfRawData_PerfOS_Memory",
            L"Win32_PerfRawData_PerfOS_Objects",
            L"Win32_PerfRawData_PerfOS_PagingFile",
            L"Win32_PerfRawData_PerfOS_Processor",
            L"Win32_PerfRawData_PerfOS_System",
            L"Win32_PerfRawData_PerfProc_JobObject",
            L"Win32_PerfRawData_PerfProc_JobObjectDetails",
            L"Win32_PerfRawData_PerfProc_Process",
            L"Win32_PerfRawData_Spooler_PrintQueue",
            L"Win32_PerfRawData_Tcpip_NetworkInterface"}},
        {L"性能计数器\\格式化性能计数器", {
            L"Win32_PerfFormattedData_PerfOS_Memory",
            L"Win32_PerfFormattedData_PerfProc_JobObject",
            L"Win32_PerfFormattedData_PerfProc_JobObjectDetails",
            L"Win32_PerfFormattedData_PerfProc_Thread",
            L"Win32_PerfFormattedData_RemoteAccess_RASPort",
            L"Win32_PerfFormattedData_Tcpip_ICMP",
            L"Win32_PerfFormattedData_Tcpip_NBTConnection",
            L"Win32_PerfFormattedData_Tcpip_NetworkInterface"}},
        {L"硬件\\主板、控制器、端口", {
            L"Win32_AllocatedResource",
            L"Win32_BaseBoard",
            L"Win32_BIOS",
            L"Win32_Bus",
            L"Win32_CacheMemory",
            L"Win32_ControllerHasHub",
            L"Win32_DeviceBus",
            L"Win32_DeviceMemoryAddress",
            L"Win32_DeviceSettings",
            L"Win32_DMAChannel",
            L"Win32_IDEController",
            L"Win32_IDEControllerDevice",
            L"Win32_IRQResource",
            L"Win32_MemoryArray",
            L"Win32_MemoryArrayLocation",
            L"Win32_MemoryDevice",
            L"Win32_MemoryDeviceArray",
            L"Win32_MemoryDeviceLocation",
            L"Win32_MotherboardDevice",
            L"Win32_PhysicalMemory",
            L"Win32_PhysicalMemoryArray",
            L"Win32_PnPDevice",
            L"Win32_PnPEntity",
            L"Win32_PortConnector",
            L"Win32_Processor",
            L"Win32_SCSIController",
            L"Win32_SMBIOSMemory",
            L"Win32_SoundDevice",
            L"Win32_SystemBIOS",
            L"Win32_SystemDriverPnPEntity",
            L"Win32_SystemEnclosure",
            L"Win32_SystemMemoryResource",
            L"Win32_SystemSlot",
            L"Win32_USBController",
            L"Win32_USBControllerDevice",
            L"Win32_USBHub"}},
        {L"硬件\\大容量存储", {
            L"Win32_AutochkSetting",
            L"Win32_CDROMDrive",
            L"Win32_DiskDrive",
            L"Win32_DiskDrivePhysicalMedia",
            L"Win32_MountPoint"}},
        {L"硬件\\打印", {
            L"Win32_Printer",
            L"Win32_PrinterConfiguration",
            L"Win32_PrinterDriver",
            L"Win32_PrinterDriverDll",
            L"Win32_PrinterSetting"}},
        {L"硬件\\温控设备", {
            L"Win32_Fan",
            L"Win32_TemperatureProbe"}},
        {L"硬件\\电源", {
            L"Win32_Battery",
            L"Win32_PortableBattery",
            L"Win32_VoltageProbe"}},
        {L"硬件\\网络设备", {
            L"Win32_NetworkAdapter",
            L"Win32_NetworkAdapterConfiguration"}},
        {L"硬件\\视频设备", {
            L"Win32_DesktopMonitor",
            L"Win32_DisplayConfiguration",
            L"Win32_DisplayControllerConfiguration",
            L"Win32_VideoController",
            L"Win32_VideoSettings"}},
        {L"硬件\\输入设备", {
            L"Win32_Keyboard",
            L"Win32_PointingDevice"}},
    };
    return table;
}

// WMI classes of the operating system and installed applications.
const std::vector<ClassFolder>& WmiSystemTable() {
    static const std::vector<ClassFolder> table = {
        {L"安装应用程序", {
            L"Win32_ApplicationCommandLine",
            L"Win32_CommandLineAccess",
            L"Win32_FontInfoAction",
            L"Win32_Product",
            L"Win32_PublishComponentAction",
            L"Win32_ServiceSpecification",
            L"Win32_SoftwareFeature"}},
        {L"操作系统\\COM", {
            L"Win32_COMApplication"}},
        {L"操作系统\\Windows NT的事件日志", {
            L"Win32_NTEventlogFile"}},
        {L"操作系统\\作业对象", {
            L"Win32_CollectionStatistics",
            L"Win32_NamedJobObject",
            L"Win32_NamedJobObjectActgInfo",
            L"Win32_NamedJobObjectLimit",
            L"Win32_NamedJobObjectLimitSetting",
            L"Win32_NamedJobObjectProcess",
            L"Win32_NamedJobObjectSecLimit",
            L"Win32_NamedJobObjectSecLimitSetting",
            L"Win32_NamedJobObjectStatistics"}},
        {L"操作系统\\共享", {
            L"Win32_SessionConnection",
            L"Win32_ShareToDirectory",
            L"Win32_Share"}},
        {L"操作系统\\存储", {
            L"Win32_ShadowDiffVolumeSupport",
            L"Win32_ShadowProvider",
            L"Win32_ShadowVolumeSupport",
            L"Win32_Volume",
            L"Win32_VolumeUserQuota"}},
        {L"操作系统\\存储页面文件", {
            L"Win32_PageFileUsage"}},
        {L"操作系统\\安全", {
            L"Win32_AccountSID",
            L"Win32_LogicalShareAccess",
            L"Win32_LogicalShareSecuritySetting",
            L"Win32_SecuritySettingOfLogicalShare"}},
        {L"操作系统\\开始菜单", {
            L"Win32_LogicalProgramGroup",
            L"Win32_LogicalProgramGroupDirectory",
            L"Win32_LogicalProgramGroupItem"}},
        {L"操作系统\\操作系统事件", {
            L"Win32_ModuleLoadTrace"}},
        {L"操作系统\\操作系统设置", {
            L"Win32_BootConfiguration",
            L"Win32_ComputerSystem",
            L"Win32_ComputerSystemProcessor",
            L"Win32_ComputerSystemProduct",
            L"Win32_DependentService",
            L"Win32_LoadOrderGroup",
            L"Win32_OperatingSystem",
            L"Win32_OSRecoveryConfiguration",
            L"Win32_QuickFixEngineering",
            L"Win32_StartupCommand",
            L"Win32_SystemDevices",
            L"Win32_SystemServices",
            L"Win32_SystemTimeZone"}},
        {L"操作系统\\文件系统", {
            L"Win32_CIMLogicalDeviceCIMDataFile",
            L"Win32_DiskDriveToDiskPartition",
            L"Win32_DiskPartition",
            L"Win32_LogicalDisk",
            L"Win32_LogicalDiskToPartition",
            L"Win32_OperatingSystemAutochkSetting"}},
        {L"操作系统\\服务", {
            L"Win32_BaseService",
            L"Win32_Service"}},
        {L"操作系统\\桌面", {
            L"Win32_Desktop",
            L"Win32_Environment",
            L"Win32_TimeZone"}},
        {L"操作系统\\用户", {
            L"Win32_Account",
            L"Win32_Group",
            L"Win32_GroupUser",
            L"Win32_NetworkLoginProfile",
            L"Win32_SystemAccount",
            L"Win32_UserAccount",
            L"Win32_LoggedOnUser"}},
        {L"操作系统\\网络", {
            L"Win32_IP4RouteTable",
            L"Win32_NetworkClient",
            L"Win32_NetworkProtocol",
            L"Win32_NTDomain"}},
        {L"操作系统\\调试程序作业", {
            L"Win32_CurrentTime",
            L"Win32_LocalTime"}},
        {L"操作系统\\进程", {
            L"Win32_Process"}},
        {L"操作系统\\驱动程序", {
            L"Win32_SystemDriver",
            L"Win32_PnPSignedDriver",
            L"Win32_PnPSignedDriverCIMDataFile"}},
    };
    return table;
}

}  // namespace engine::catalogue
