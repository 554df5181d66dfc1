#include "WmiAliasReports.h"

#include <windows.h>

#include <map>

#include "CommandRunner.h"
#include "LogEntries.h"
#include "ToolReports.h"

namespace engine {

namespace {

// The reason on one line: a report and a log entry hold exactly one.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text;
}

int ReportFailure(const skelda::WmiAlias& alias, const std::wstring& path, const std::wstring& reason) {
    WriteReportFile(path, OneLineReport(AliasFailureText(alias, reason)));
    toollog::Log(toollog::Entry::WmiQueryFailed,
                 std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " + OneLine(reason));
    return 0;
}

}  // namespace

std::string AliasReportBytes(const skelda::WmiAlias& alias, const skelda::AliasAnswer& answer) {
    const std::vector<std::wstring> names = skelda::AliasProperties(alias);
    return skelda::Utf16LeWithBom(skelda::WmicTableForm(alias.alias) ? skelda::TableText(names, answer.instances)
                                                                     : skelda::ListFullText(names, answer.instances));
}

std::wstring AliasFailureText(const skelda::WmiAlias& alias, const std::wstring& reason) {
    return L"WMI查询失败 (WMI query failed): " + std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " +
           OneLine(reason);
}

int RunWmiAliasReports(const std::vector<skelda::CatalogueRow>& rows, const std::wstring& folder) {
    std::map<std::wstring, std::wstring> labels;
    int complete = 1;
    for (const skelda::CatalogueRow& row : rows) {
        labels[row.key] = row.label;
        if (skelda::FindWmiAlias(row.key) == nullptr) {
            const skelda::WmiAlias unknown{row.key.c_str(), L"", L"", L"", L""};
            complete = ReportFailure(unknown, skelda::ReportPath(folder, row.label), L"no WMI class known");
        }
    }
    const std::wstring tool = ToolPath(skelda::kPowerShellProgram);
    const bool haveTool = ::GetFileAttributesW(tool.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const skelda::AliasBatch& batch : skelda::AliasBatches(rows)) {
        std::map<std::wstring, skelda::AliasAnswer> answers;
        std::wstring batchFailure;
        std::wstring output;
        if (haveTool) {
            if (RunProgramCapture(tool, batch.commandLine, output, 0)) {
                answers = skelda::ParseAliasOutput(output);
            } else {
                batchFailure = L"PowerShell could not be started (" + std::to_wstring(::GetLastError()) + L")";
            }
        }
        for (const skelda::WmiAlias* alias : batch.aliases) {
            const std::wstring path = skelda::ReportPath(folder, labels[alias->alias]);
            const auto answer = answers.find(alias->alias);
            if (answer != answers.end() && answer->second.complete) {
                if (!WriteReportFile(path, AliasReportBytes(*alias, answer->second)))
                    complete = ReportFailure(*alias, path, L"report not written (" + std::to_wstring(::GetLastError()) + L")");
                continue;
            }
            if (!haveTool) {
                // The same one line as any report whose tool is missing.
                WriteReportFile(path, MissingToolText(tool));
                toollog::Log(toollog::Entry::ToolMissing, tool);
                complete = 0;
                continue;
            }
            std::wstring reason = batchFailure;
            if (reason.empty()) {
                reason = answer == answers.end() || answer->second.error.empty() ? L"PowerShell gave no answer"
                                                                                 : answer->second.error;
            }
            complete = ReportFailure(*alias, path, reason);
        }
    }
    return complete;
}

}  // namespace engine
