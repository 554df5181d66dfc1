#include "toollog/LogSettings.h"

#include <cwctype>

#include "text/WideText.h"

namespace toollog {
namespace {

std::wstring Trim(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::iswspace(text[begin])) ++begin;
    while (end > begin && std::iswspace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

}  // namespace

LogSettings LogSettings::Parse(const std::string& bytes) {
    LogSettings settings;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const size_t units = (bytes.size() - 2) / 2;
        settings.text_.resize(units);
        for (size_t i = 0; i < units; ++i)
            settings.text_[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                                     (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        settings.text_ = util::text::Widen(bytes.substr(3), CP_UTF8);
    } else {
        settings.text_ = util::text::Widen(bytes, CP_ACP);
    }
    return settings;
}

std::optional<std::wstring> LogSettings::Value(const std::wstring& section, const std::wstring& key) const {
    bool inSection = false;
    size_t pos = 0;
    while (pos <= text_.size()) {
        size_t end = text_.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = text_.size();
        const std::wstring line = Trim(text_.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == L';') continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            inSection = close != std::wstring::npos && SameName(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const size_t equals = line.find(L'=');
        if (!inSection || equals == std::wstring::npos || !SameName(Trim(line.substr(0, equals)), key)) continue;
        std::wstring value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

}  // namespace toollog
