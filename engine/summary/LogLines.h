#pragma once
// The plain-text logs of Windows' servicing and device installation, read for what went wrong:
// the update log, the servicing store's CBS log and the setup log of device installs.
#include <string>
#include <vector>

namespace engine::summary {

// A line of a log that tells of a fault, with where it stood.
struct LogLine {
    size_t number = 0;   // 1 for the file's first line
    std::wstring time;   // the line's date and time as the log writes it; empty where it has none
    std::wstring text;   // the line, blanks at either end trimmed
};

// The update log's lines that tell of a failed update: "Installation Failure" (the report of a
// failed install), "FATAL", "*FAILED* [80072F8F]" (Windows 10's layout) and lines with "fail"
// and an error code "0x8…". Both layouts: the
// tab-separated one of Windows 7 and 8 ("2012-06-05<TAB>10:21:41:123<TAB> 1234<TAB>…") and the
// one Get-WindowsUpdateLog writes ("2017/09/29 10:21:41.1234567 1234  5678  Agent …").
std::vector<LogLine> FailedUpdateLines(const std::wstring& text);

// The CBS log's lines that report corruption of the servicing store or of system files
// ("[SR] Cannot repair member file", "CSI Payload Corrupt", "Total Detected Corruption: 2");
// lines that say there is none ("No component store corruption detected", "…Corruption: 0")
// are not among them.
std::vector<LogLine> CorruptionLines(const std::wstring& text);

// One device install of the setup log that ended in failure.
struct DeviceInstall {
    std::wstring title;   // ">>>  [Device Install (Hardware initiated) - USB\VID_…]": what is in the brackets
    std::wstring start;   // ">>>  Section start 2015/06/29 10:11:12.345": the time
    std::wstring status;  // "<<<  [Exit status: FAILURE(0xe0000219)]": "FAILURE(0xe0000219)"
    std::wstring firstError;  // the section's first "!!!" line, trimmed; empty where none
    size_t line = 0;      // where the section starts
};

// The sections of a setup log (setupapi.dev.log) whose exit status is a failure. Only sections
// of device and driver installs count ("Device Install", "Install Device", "Driver Install"…, any
// title holding "Install").
std::vector<DeviceInstall> FailedDeviceInstalls(const std::wstring& text);

}  // namespace engine::summary
