#pragma once
// Reports made by Windows' own tools, each started directly by its full path.
#include <string>

#include "Catalogue.h"

namespace engine {

// The tool's full path below the system folder.
std::wstring ToolPath(const std::wstring& program);

// Runs the tool with its output going to the report file. A tool that is not there leaves a
// report that says so in one line (UTF-8), and a line in the tool log; a tool that cannot be
// started is logged. 1 when the tool ran.
int RunToolReport(const skelda::ToolReport& report);

// The one line of a report whose tool is missing.
std::string MissingToolText(const std::wstring& toolPath);

// A report of one line that says why it holds nothing else: UTF-8 with a byte-order mark,
// ending in CR LF.
std::string OneLineReport(const std::wstring& text);

// Creates or replaces the report file with bytes. true when all were written.
bool WriteReportFile(const std::wstring& path, const std::string& bytes);

}  // namespace engine
