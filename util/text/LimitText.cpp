#include "text/LimitText.h"

#include <cwchar>
#include <cwctype>
#include <string.h>

namespace util::text {

namespace {

// A whole number from 1 to most, blanks around it allowed.
std::optional<unsigned long> ParseCount(const std::wstring& text, unsigned long most) {
    size_t first = 0;
    while (first < text.size() && std::iswspace(text[first])) ++first;
    size_t last = text.size();
    while (last > first && std::iswspace(text[last - 1])) --last;
    if (first == last || last - first > 6) return std::nullopt;
    unsigned long value = 0;
    for (size_t i = first; i < last; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 + (text[i] - L'0');
    }
    if (value == 0 || value > most) return std::nullopt;
    return value;
}

}  // namespace

std::optional<unsigned long> ParseLimitSeconds(const std::wstring& text) { return ParseCount(text, 24 * 60 * 60); }

std::optional<int> ParsePoolSize(const std::wstring& text) {
    size_t first = 0;
    while (first < text.size() && std::iswspace(text[first])) ++first;
    size_t last = text.size();
    while (last > first && std::iswspace(text[last - 1])) --last;
    if (_wcsicmp(text.substr(first, last - first).c_str(), L"per-worker") == 0) return kPerWorkerPool;
    const std::optional<unsigned long> size = ParseCount(text, kMostPoolSize);
    if (!size) return std::nullopt;
    return static_cast<int>(*size);
}

}  // namespace util::text
