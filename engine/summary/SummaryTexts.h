#pragma once
// The summary's words, in the product's language; the tools' property names stand beside them
// in the headers, so that an engineer finds each value in its file.
namespace engine::summary::texts {

constexpr const wchar_t* kTitle = L"信息收集概要";
constexpr const wchar_t* kProblemsHeading = L"发现的问题";
constexpr const wchar_t* kMachineHeading = L"计算机概况";
constexpr const wchar_t* kIntro = L"本概要由本次收集到的文件生成，先列出问题，再列出计算机概况；每一项都链接到它所依据的文件。";
constexpr const wchar_t* kSource = L"来源";
constexpr const wchar_t* kNotAvailable = L"不可用";
constexpr const wchar_t* kNoneFound = L"未发现";
constexpr const wchar_t* kFound = L"发现";

// Sections.
constexpr const wchar_t* kStepsNotOk = L"未成功的收集步骤";
constexpr const wchar_t* kDisksLow = L"可用空间不足 10% 的磁盘";
constexpr const wchar_t* kEventsBySource = L"最近一周的严重和错误事件（按来源计数）";
constexpr const wchar_t* kLatestEvents = L"最近的严重和错误事件";
constexpr const wchar_t* kFailedUpdates = L"失败的更新（更新日志）";
constexpr const wchar_t* kInstalledUpdates = L"已安装的更新（补丁列表，只含安装成功的）";
constexpr const wchar_t* kCorruption = L"组件存储损坏（CBS 日志）";
constexpr const wchar_t* kFailedDeviceInstalls = L"失败的设备安装（setupapi 日志）";
constexpr const wchar_t* kProblemDevices = L"有问题代码的设备";
constexpr const wchar_t* kStoppedServices = L"未运行的自动启动服务";
constexpr const wchar_t* kWindows = L"Windows";
constexpr const wchar_t* kComputer = L"计算机";
constexpr const wchar_t* kBios = L"BIOS";
constexpr const wchar_t* kProcessor = L"处理器";
constexpr const wchar_t* kMemory = L"内存";
constexpr const wchar_t* kDisks = L"磁盘";

// Headers and labels.
constexpr const wchar_t* kItem = L"项目";
constexpr const wchar_t* kValue = L"值";
constexpr const wchar_t* kProperty = L"属性";
constexpr const wchar_t* kStep = L"步骤";
constexpr const wchar_t* kOutcome = L"结果";
constexpr const wchar_t* kReason = L"原因";
constexpr const wchar_t* kLog = L"日志";
constexpr const wchar_t* kCount = L"个数";
constexpr const wchar_t* kTime = L"时间";
constexpr const wchar_t* kLine = L"行";
constexpr const wchar_t* kFile = L"文件";
constexpr const wchar_t* kEdition = L"版本名称";
constexpr const wchar_t* kVersion = L"版本号";
constexpr const wchar_t* kBuild = L"内部版本";
constexpr const wchar_t* kInstallDate = L"安装日期";
constexpr const wchar_t* kLastBoot = L"上次启动";
constexpr const wchar_t* kUptime = L"已运行";
constexpr const wchar_t* kMaker = L"制造商";
constexpr const wchar_t* kModel = L"型号";
constexpr const wchar_t* kBiosVersion = L"BIOS 版本";
constexpr const wchar_t* kBiosDate = L"BIOS 日期";
constexpr const wchar_t* kName = L"名称";
constexpr const wchar_t* kCores = L"核心数";
constexpr const wchar_t* kThreads = L"逻辑处理器数";
constexpr const wchar_t* kMemoryTotal = L"内存总量";
constexpr const wchar_t* kMemoryFree = L"可用内存";
constexpr const wchar_t* kDrive = L"驱动器";
constexpr const wchar_t* kSize = L"大小";
constexpr const wchar_t* kFree = L"可用空间";
constexpr const wchar_t* kFreeShare = L"可用比例";
constexpr const wchar_t* kFileSystem = L"文件系统";
constexpr const wchar_t* kLevel = L"级别";
constexpr const wchar_t* kDescription = L"描述";
constexpr const wchar_t* kSection = L"安装";
constexpr const wchar_t* kStatus = L"退出状态";
constexpr const wchar_t* kFirstError = L"第一个错误";
constexpr const wchar_t* kDevice = L"设备";
constexpr const wchar_t* kProblemCode = L"问题代码";
constexpr const wchar_t* kService = L"服务";
constexpr const wchar_t* kState = L"状态";
constexpr const wchar_t* kUpdate = L"更新";
constexpr const wchar_t* kInstalledOn = L"安装日期";
constexpr const wchar_t* kDays = L"天";
constexpr const wchar_t* kHours = L"小时";
constexpr const wchar_t* kMinutes = L"分钟";

// Why a section or a value is not available.
constexpr const wchar_t* kNotCollected = L"本次没有收集这类信息";
constexpr const wchar_t* kFileMissing = L"文件不在压缩包中";
constexpr const wchar_t* kStepWas = L"收集它的步骤结果为";
constexpr const wchar_t* kNothingReadable = L"文件中没有可识别的内容";
constexpr const wchar_t* kUnreadable = L"文件在压缩包中，但生成概要时无法读取，错误代码";
constexpr const wchar_t* kPropertyMissing = L"文件中没有这个属性";
constexpr const wchar_t* kNoDates = L"文件中没有可比较的日期";
constexpr const wchar_t* kTailOnly = L"文件较大，只读取了最后";
constexpr const wchar_t* kShownOf = L"只列出其中最近的";
constexpr const wchar_t* kInAll = L"共";
constexpr const wchar_t* kPieces = L"个";
constexpr const wchar_t* kArchitecture = L"架构";
constexpr const wchar_t* kSystemType = L"类型";

}  // namespace engine::summary::texts
