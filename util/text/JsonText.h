#pragma once
// JSON string literals for the run's report and the console host's one-line result.
#include <string>

namespace util::text {

// text as a JSON string in UTF-8, quotes included: quote, backslash and control characters
// escaped, everything else as it is.
std::string JsonString(const std::wstring& text);

}  // namespace util::text
