#include "steps/WmicLayout.h"

#include <algorithm>

#include "text/WideText.h"

namespace engine::steps {

namespace {

// Every CR LF, lone CR or lone LF of value replaced by lineBreak.
std::wstring WithLineBreaks(const std::wstring& value, const wchar_t* lineBreak) {
    std::wstring out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const wchar_t c = value[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < value.size() && value[i + 1] == L'\n') ++i;
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

const std::wstring& ValueAt(const WmiInstance& instance, size_t index) {
    static const std::wstring empty;
    return index < instance.size() ? instance[index] : empty;
}

void AppendPadded(std::wstring& line, const std::wstring& text, size_t width) {
    line += text;
    line.append(width - text.size(), L' ');
}

}  // namespace

std::wstring ListFullText(const std::vector<std::wstring>& properties, const std::vector<WmiInstance>& instances) {
    std::wstring text;
    for (const WmiInstance& instance : instances) {
        text += L"\r\n\r\n";
        for (size_t i = 0; i < properties.size(); ++i)
            text += properties[i] + L"=" + WithLineBreaks(ValueAt(instance, i), L"\r\n") + L"\r\n";
    }
    if (!instances.empty()) text += L"\r\n\r\n";
    return text;
}

std::wstring TableText(const std::vector<std::wstring>& properties, const std::vector<WmiInstance>& instances) {
    if (instances.empty()) return {};
    std::vector<std::vector<std::wstring>> cells;
    for (const WmiInstance& instance : instances) {
        std::vector<std::wstring> row;
        for (size_t i = 0; i < properties.size(); ++i) row.push_back(WithLineBreaks(ValueAt(instance, i), L" "));
        cells.push_back(std::move(row));
    }
    std::vector<size_t> widths;
    for (size_t i = 0; i < properties.size(); ++i) {
        size_t width = properties[i].size();
        for (const auto& row : cells) width = std::max(width, row[i].size());
        widths.push_back(width + 2);
    }
    std::wstring text;
    for (size_t i = 0; i < properties.size(); ++i) AppendPadded(text, properties[i], widths[i]);
    text += L"\r\n";
    for (const auto& row : cells) {
        for (size_t i = 0; i < row.size(); ++i) AppendPadded(text, row[i], widths[i]);
        text += L"\r\n";
    }
    return text + L"\r\n";
}

std::string Utf16LeWithBom(const std::wstring& text) {
    return "\xFF\xFE" + util::text::Utf16LeBytes(text);
}

}  // namespace engine::steps
