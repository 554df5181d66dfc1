#pragma once
// Answer times: seconds since 1970-01-01 00:00 UTC.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace outside {

// The seconds a FILETIME (100 ns units since 1601) stands for, rounded down.
int64_t UnixSecondsFromFileTime(const FILETIME& time);

// The time text the program passes: a signed 32-bit decimal, as "%d" writes it (an optional
// "-" and digits, nothing else). Nothing for any other text or a number out of range.
std::optional<int32_t> ParseTimeText(const wchar_t* text);

// "YYYY-MM-DD hh:mm:ss" in UTC, for people reading the record.
std::string UtcText(int64_t seconds);

}  // namespace outside
