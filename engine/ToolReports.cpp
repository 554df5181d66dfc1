#include "ToolReports.h"

#include <windows.h>

#include "CommandRunner.h"
#include "LogEntries.h"
#include "UniqueHandle.h"
#include "WideText.h"

namespace engine {

std::wstring ToolPath(const std::wstring& program) { return SystemFolder() + L"\\" + program; }

std::string MissingToolText(const std::wstring& toolPath) {
    return "\xEF\xBB\xBF" + skelda::Narrow(L"未找到此工具 (tool not found): " + toolPath, CP_UTF8) + "\r\n";
}

int RunToolReport(const skelda::ToolReport& report) {
    const std::wstring tool = ToolPath(report.program);
    if (::GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::string text = MissingToolText(tool);
        skelda::UniqueHandle file(::CreateFileW(report.reportPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file) ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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
