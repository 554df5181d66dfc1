#include "text/Lines.h"

namespace util::text {

std::wstring OnOneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text;
}

std::wstring OneLineSummary(const std::wstring& text, size_t maxChars) {
    std::wstring summary;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring::npos) continue;
        line = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
        summary += (summary.empty() ? L"" : L" | ") + line;
    }
    if (summary.size() > maxChars) summary = summary.substr(0, maxChars) + L"...";
    return summary;
}

}  // namespace util::text
