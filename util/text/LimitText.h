#pragma once
// Time limits as people write them in settings and on command lines.
#include <optional>
#include <string>

namespace util::text {

// A limit in whole seconds, 1 to 86400 (a day), blanks around it allowed; nothing otherwise
// (negative, zero, too large, not a number).
std::optional<unsigned long> ParseLimitSeconds(const std::wstring& text);

// How many children may run at once: 1 to 64, or kPerWorkerPool for "per-worker" (one at a
// time in each worker; any case), blanks around it allowed; nothing for anything else.
constexpr int kPerWorkerPool = 0;
constexpr int kMostPoolSize = 64;
std::optional<int> ParsePoolSize(const std::wstring& text);

}  // namespace util::text
