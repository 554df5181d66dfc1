#pragma once
// The record of answers: one UTF-8 line per answer in
//   <common application data>\OrvaneFeedback\FeedbackRecord.txt
// with five fields separated by tabs and a CR LF at the end:
//   seconds since 1970 UTC, the same as "YYYY-MM-DD hh:mm:ss" UTC, answer code, tool, version
// Tabs and line breaks inside tool and version become blanks.
#include <cstdint>
#include <string>

namespace outside {

std::string RecordLine(int64_t seconds, int code, const std::wstring& tool, const std::wstring& version);

// Empty when the folder is unknown.
std::wstring RecordFilePath();

// Appends the bytes with one write, creating the file and its folder when needed.
bool AppendToFile(const std::wstring& path, const std::string& bytes);

}  // namespace outside
