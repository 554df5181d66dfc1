#include "toollog/LogEntries.h"

#include "toollog/LogSave.h"
#include "text/WideText.h"

namespace toollog {

const wchar_t* EntryText(Entry entry) {
    switch (entry) {
        case Entry::ArchiveFolderFailed: return L"创建保存日志目录失败";
        case Entry::EventLogFolderFailed: return L"创建系统日志目录失败";
        case Entry::EventLogListFailed: return L"获取系统日志命令失败";
        case Entry::UpdateLogFolderFailed: return L"创建系统更新日志目录失败";
        case Entry::UpdateLogExportFailed: return L"导出系统更新日志失败";
        case Entry::CbsFolderFailed: return L"创建CBS日志目录失败";
        case Entry::CbsExportFailed: return L"导出CBS日志失败";
        case Entry::CbsMissing: return L"CBS日志不存在";
        case Entry::InfFolderFailed: return L"创建INF日志目录失败";
        case Entry::InfExportFailed: return L"导出INF日志失败";
        case Entry::InfMissing: return L"INF日志不存在";
        case Entry::WmicFolderFailed: return L"创建WMIC日志目录失败";
        case Entry::PowershellFolderFailed: return L"创建Powershell日志目录失败";
        case Entry::PackingFailed: return L"生成压缩包失败";
        case Entry::Worker1StartFailed: return L"创建收集系统信息线程失败";
        case Entry::Worker2StartFailed: return L"创建收集系统信息线程2失败";
        case Entry::Worker3StartFailed: return L"创建收集系统信息线程4失败";
        case Entry::Worker4StartFailed: return L"创建收集系统信息线程5失败";
        case Entry::Worker3PriorityFailed: return L"设置线程4优先级失败";
        case Entry::Worker4PriorityFailed: return L"设置线程5优先级失败";
        case Entry::FileSkipped: return L"无法读取文件，已跳过";
        case Entry::UpdateLogMissing: return L"系统更新日志不存在";
        case Entry::WorkerFailed: return L"收集线程异常结束";
        case Entry::WorkingFolderFailed: return L"创建临时收集目录失败";
        case Entry::CommandStartFailed: return L"启动命令失败";
        case Entry::ToolMissing: return L"未找到工具";
        case Entry::AccessListFailed: return L"设置压缩包访问权限失败";
        case Entry::PackerMessages: return L"压缩程序报告问题";
        case Entry::BadLimitSetting: return L"时间限制设置无效，使用默认值";
        case Entry::BadPoolSetting: return L"同时运行的工具数设置无效，使用默认值";
        case Entry::StepNotOk: return L"收集步骤未成功";
        case Entry::FileStillOpen: return L"文件仍被占用，可能未被压缩";
        case Entry::ReportNotWritten: return L"写入收集报告失败";
        case Entry::WmiQueryFailed: return L"WMI查询失败";
        case Entry::PackerNotShipped: return L"压缩程序与发布的不一致";
        case Entry::PackerMissing: return L"找不到压缩程序";
        case Entry::CollectionKept: return L"已收集的文件未能打包，已保留在";
        case Entry::CollectionNotKept: return L"已收集的文件无法移至保留位置";
        case Entry::UpdateLogStale: return L"系统更新日志早于本次导出，未复制";
        case Entry::ArchiveTargetFailed: return L"压缩包保存位置不可用";
        case Entry::ArchiveKeptBeside: return L"压缩包无法覆盖目标文件，已另存为";
        case Entry::ArchiveIncomplete: return L"压缩包不完整";
    }
    return L"";
}

void Log(Entry entry) {
    CLogSave::Instance().Write(util::text::Narrow(EntryText(entry), util::text::kGbkCodePage), kEngineLogFile, true);
}

void Log(Entry entry, const std::wstring& detail) {
    const std::wstring line = std::wstring(EntryText(entry)) + L": " + detail;
    CLogSave::Instance().Write(util::text::Narrow(line, util::text::kGbkCodePage), kEngineLogFile, true);
}

}  // namespace toollog
