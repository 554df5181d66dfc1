#pragma once
// Builds the summary from what a run collected: pure, every file comes in through SourceFolder,
// so a folder of real captures, a doubles' run and a folder with sources missing are all tested
// the same way.
#include <string>
#include <vector>

#include "api/Categories.h"
#include "summary/Summary.h"

namespace engine::summary {

// What a file held, or that it was not there.
struct SourceFile {
    bool present = false;
    std::string bytes;             // the whole file, or its last bytes where it is larger (tail)
    bool tail = false;
    unsigned long long size = 0;   // the whole file's size
    // Not present, but there: the system's error code of the open or read that failed (a
    // scanner holding it without read sharing, say); 0 where it is not there.
    unsigned long readError = 0;
};

class SourceFolder {
public:
    virtual ~SourceFolder() = default;
    // The file at relative ("/" between folders), at most its last maxBytes.
    virtual SourceFile Read(const std::wstring& relative, size_t maxBytes) const = 0;
    // The names of the files directly in a folder, in any order; none where it is not there.
    virtual std::vector<std::wstring> Files(const std::wstring& relativeFolder) const = 0;
};

// One step of the run as the summary sees it.
struct StepFact {
    std::wstring what;
    std::wstring output;   // relative to the archive's top, "/" between folders; empty: none
    std::wstring outcome;  // "ok", "failed", …
    std::wstring reason;
};

struct SummaryInputs {
    const SourceFolder* folder = nullptr;
    std::vector<StepFact> steps;
    std::wstring reportFile;  // the run's report, which the steps' section links to
    unsigned codePage = 0;    // of text a console tool wrote without a mark (the PC's OEM code page)
    size_t maxLogBytes = 16u << 20;  // of a long log, only its end is read
};

// The files the summary reads, relative to the archive's top.
namespace sources {
constexpr const wchar_t* kOperatingSystem = L"操作系统/操作系统设置/已安装操作系统的管理.txt";  // WMIC OS
constexpr const wchar_t* kComputerSystem = L"操作系统/操作系统设置/计算机系统管理.txt";       // WMIC COMPUTERSYSTEM
constexpr const wchar_t* kHotFixes = L"操作系统/操作系统设置/系统补丁.txt";                   // WMIC QFE
constexpr const wchar_t* kLogicalDisks = L"操作系统/文件系统/本地存储设备管理.txt";            // WMIC LOGICALDISK
constexpr const wchar_t* kServices = L"操作系统/服务/服务应用程序管理.txt";                    // WMIC SERVICE
constexpr const wchar_t* kBios = L"硬件/主板、控制器、端口/基本输入-输出服务(BIOS)管理.txt";    // WMIC BIOS
constexpr const wchar_t* kProcessors = L"硬件/主板、控制器、端口/CPU管理.txt";                 // WMIC CPU
constexpr const wchar_t* kPnpEntities = L"硬件/主板、控制器、端口/PnPEntity.txt";              // Get-WmiObject
constexpr const wchar_t* kUpdateLog = L"系统更新日志/WindowsUpdate.log";
constexpr const wchar_t* kCbsFolder = L"CBS日志";
constexpr const wchar_t* kSetupFolder = L"INF日志";
// The "wevtutil qe" text copies of the last week's events: api::kRecentEventLogs.
using api::kRecentEventLogs;
}  // namespace sources

// The text copy of one log's recent events, below the system log's folder (api::kRecentEventsFolder).
std::wstring RecentEventsFile(const std::wstring& log);

Summary BuildSummary(const SummaryInputs& inputs);

// "20230314093012.500000+480" as "2023-03-14 09:30:12"; empty for anything else.
std::wstring DmtfText(const std::wstring& dmtf);
// Seconds from a to b, both DMTF date-times; false where either is not one.
bool DmtfSecondsBetween(const std::wstring& a, const std::wstring& b, long long& seconds);
// Bytes in binary units, one decimal: "931.5 GB".
std::wstring SizeText(unsigned long long bytes);

}  // namespace engine::summary
