#include "ToolReports.h"

#include <windows.h>

#include "CommandRunner.h"
#include "LogEntries.h"
#include "UniqueHandle.h"
#include "WideText.h"

namespace engine {

std::wstring ToolPath(const std::wstring& program) { return SystemFolder() + L"\\" + program; }

std::string OneLineReport(const std::wstring& text) {
    return "\xEF\xBB\xBF" + skelda::Narrow(text, CP_UTF8) + "\r\n";
}

std::string MissingToolText(const std::wstring& toolPath) {
    return OneLineReport(L"未找到此工具 (tool not found): " + toolPath);
}

bool WriteReportFile(const std::wstring& path, const std::string& bytes) {
    skelda::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

int RunToolReport(const skelda::ToolReport& report) {
    const std::wstring tool = ToolPath(report.program);
    if (::GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WriteReportFile(report.reportPath, MissingToolText(tool));
        toollog::Log(toollog::Entry::ToolMissing, tool);
        return 0;
    }
    DWORD exitCode = 0;
    if (!RunProgramToFile(tool, report.commandLine, report.reportPath, exitCode)) {
        toollog::Log(toollog::Entry::CommandStartFailed,
                     report.commandLine + L" (" + std::to_wstring(::GetLastError()) + L")");
        return 0;
    }
    return 1;
}

}  // namespace engine
