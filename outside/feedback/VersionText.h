#pragma once
// Dotted numeric versions ("1.2.10", also "V 1.0" as the program passes its own).
#include <optional>
#include <string>
#include <vector>

namespace outside {

// The numbers of a version: an optional "V" or "v" with optional blanks, then decimal numbers
// separated by single dots; blanks around the whole are ignored. Nothing for any other text
// or a number above 4294967295.
std::optional<std::vector<unsigned long>> ParseVersion(const std::wstring& text);

// -1, 0 or 1 as a is older than, the same as or newer than b; missing numbers count as 0.
int CompareVersions(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b);

}  // namespace outside
