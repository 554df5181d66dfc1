#include "VersionText.h"

#include <algorithm>

namespace outside {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::optional<std::vector<unsigned long>> ParseVersion(const std::wstring& text) {
    size_t pos = 0;
    size_t end = text.size();
    while (pos < end && IsBlank(text[pos])) ++pos;
    while (end > pos && IsBlank(text[end - 1])) --end;
    if (pos < end && (text[pos] == L'V' || text[pos] == L'v')) {
        ++pos;
        while (pos < end && IsBlank(text[pos])) ++pos;
    }
    std::vector<unsigned long> numbers;
    for (;;) {
        if (pos >= end || !IsDigit(text[pos])) return std::nullopt;
        unsigned long long value = 0;
        while (pos < end && IsDigit(text[pos])) {
            value = value * 10 + static_cast<unsigned>(text[pos] - L'0');
            if (value > 0xFFFFFFFFull) return std::nullopt;
            ++pos;
        }
        numbers.push_back(static_cast<unsigned long>(value));
        if (pos == end) return numbers;
        if (text[pos] != L'.') return std::nullopt;
        ++pos;
    }
}

int CompareVersions(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b) {
    const size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned long x = i < a.size() ? a[i] : 0;
        const unsigned long y = i < b.size() ? b[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

}  // namespace outside
