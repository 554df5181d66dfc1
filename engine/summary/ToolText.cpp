#include "summary/ToolText.h"

#include <windows.h>

#include <algorithm>

#include "text/WideText.h"

namespace engine::summary {

namespace {

std::wstring FromUtf16Le(const std::string& bytes, size_t from) {
    std::wstring text;
    text.reserve((bytes.size() - from) / 2);
    for (size_t i = from; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

bool LooksLikeUtf16Le(const std::string& bytes) {
    const size_t look = std::min<size_t>(bytes.size() & ~size_t{1}, 256);
    if (look < 4) return false;
    for (size_t i = 1; i < look; i += 2)
        if (bytes[i] != 0) return false;
    return true;
}

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

std::wstring DecodeToolText(const std::string& bytes, unsigned codePage) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return FromUtf16Le(bytes, 2);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return util::text::Widen(bytes.substr(3), CP_UTF8);
    if (LooksLikeUtf16Le(bytes)) return FromUtf16Le(bytes, 0);
    return util::text::Widen(bytes, codePage);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') continue;
        lines.push_back(text.substr(start, i - start));
        // CR CR LF is one break: WMIC writes it where its output passes a code-page conversion.
        if (text[i] == L'\r' && text.compare(i + 1, 2, L"\r\n") == 0) ++i;
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& head) {
    if (text.size() < head.size()) return false;
    for (size_t i = 0; i < head.size(); ++i)
        if (Lower(text[i]) != Lower(head[i])) return false;
    return true;
}

bool ContainsNoCase(const std::wstring& text, const std::wstring& needle) {
    if (needle.empty()) return true;
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                       [](wchar_t a, wchar_t b) { return Lower(a) == Lower(b); }) != text.end();
}

}  // namespace engine::summary
