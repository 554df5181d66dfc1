#include "LimitText.h"

#include <cwctype>

namespace skelda {

std::optional<unsigned long> ParseLimitSeconds(const std::wstring& text) {
    constexpr unsigned long kLongest = 24 * 60 * 60;
    size_t first = 0;
    while (first < text.size() && std::iswspace(text[first])) ++first;
    size_t last = text.size();
    while (last > first && std::iswspace(text[last - 1])) --last;
    if (first == last || last - first > 6) return std::nullopt;
    unsigned long seconds = 0;
    for (size_t i = first; i < last; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        seconds = seconds * 10 + (text[i] - L'0');
    }
    if (seconds == 0 || seconds > kLongest) return std::nullopt;
    return seconds;
}

}  // namespace skelda
