#pragma once
// The byte layout of log lines and the "print" switch, free of any file access.
#include <windows.h>

#include <string>

namespace toollog {

// A log file is moved to its backup once it is longer than this many bytes.
constexpr unsigned long long kRollOverBytes = 6020000;

// "[YYYY-MM-DD hh:mm:ss mmmms]" followed by three blanks.
std::string TimeStamp(const SYSTEMTIME& time);

// The bytes appended for one entry: the stamp, the text and a line end, with every line
// feed stored as carriage return plus line feed (so each entry ends in 0D 0D 0A).
std::string EntryBytes(const SYSTEMTIME& time, const std::string& text);

// The "print" value of the configuration: trimmed, read as a decimal integer the way
// _wtoi does (optional sign, leading digits, rest ignored); only 1 switches printing on.
bool PrintSwitchOn(const std::wstring& value);

}  // namespace toollog
