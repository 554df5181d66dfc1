#include "summary/Properties.h"

#include "summary/ToolText.h"

namespace engine::summary {

namespace {

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

}  // namespace

const std::wstring* Properties::Find(const std::wstring& name) const {
    for (const auto& [key, value] : values)
        if (SameName(key, name)) return &value;
    return nullptr;
}

std::wstring Properties::Get(const std::wstring& name) const {
    const std::wstring* value = Find(name);
    return value ? *value : std::wstring();
}

bool InstanceLines::EndsAtBlank(const std::wstring& line) {
    if (!Trimmed(line).empty()) return false;
    open_ = false;
    return true;
}

void InstanceLines::Add(std::wstring name, std::wstring value) {
    if (!open_) {
        instances_.emplace_back();
        open_ = true;
    }
    instances_.back().values.emplace_back(std::move(name), std::move(value));
}

std::wstring* InstanceLines::LastValue() {
    if (!open_ || instances_.back().values.empty()) return nullptr;
    return &instances_.back().values.back().second;
}

bool ParseNumber(const std::wstring& text, unsigned long long& number) {
    const std::wstring digits = Trimmed(text);
    if (digits.empty() || digits.size() > 19) return false;
    unsigned long long value = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    number = value;
    return true;
}

}  // namespace engine::summary
