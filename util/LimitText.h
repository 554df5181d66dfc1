#pragma once
// Time limits as people write them in settings and on command lines.
#include <optional>
#include <string>

namespace skelda {

// A limit in whole seconds, 1 to 86400 (a day), blanks around it allowed; nothing otherwise
// (negative, zero, too large, not a number).
std::optional<unsigned long> ParseLimitSeconds(const std::wstring& text);

}  // namespace skelda
