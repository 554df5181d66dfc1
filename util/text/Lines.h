#pragma once
// Text of several lines put on one, for a log entry or a report line that must hold exactly one.
#include <cstddef>
#include <string>

namespace util::text {

// Every line break (CR or LF) becomes a blank.
std::wstring OnOneLine(std::wstring text);

// The text's non-empty lines, trimmed of blanks and tabs, joined by " | ", at most maxChars
// characters (a longer summary is cut and ends in "...").
std::wstring OneLineSummary(const std::wstring& text, size_t maxChars = 2000);

}  // namespace util::text
