#include "summary/WmicText.h"

#include "summary/ToolText.h"

namespace engine::summary {

std::vector<Properties> ParseListFull(const std::wstring& text) {
    InstanceLines instances;
    for (const std::wstring& line : SplitLines(text)) {
        if (instances.EndsAtBlank(line)) continue;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos || equals == 0) {
            if (std::wstring* value = instances.LastValue()) *value += L"\n" + line;
            continue;
        }
        instances.Add(line.substr(0, equals), line.substr(equals + 1));
    }
    return instances.Take();
}

std::vector<Properties> ParseTable(const std::wstring& text) {
    std::vector<Properties> rows;
    const std::vector<std::wstring> lines = SplitLines(text);
    size_t at = 0;
    while (at < lines.size() && Trimmed(lines[at]).empty()) ++at;
    if (at == lines.size()) return rows;
    const std::wstring& header = lines[at];
    struct Column {
        std::wstring name;
        size_t start;
    };
    std::vector<Column> columns;
    for (size_t i = 0; i < header.size();) {
        if (header[i] == L' ') {
            ++i;
            continue;
        }
        const size_t end = header.find(L' ', i);
        columns.push_back({header.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i), i});
        if (end == std::wstring::npos) break;
        i = end;
    }
    for (++at; at < lines.size(); ++at) {
        const std::wstring& line = lines[at];
        if (Trimmed(line).empty()) continue;
        Properties row;
        for (size_t c = 0; c < columns.size(); ++c) {
            const size_t start = columns[c].start;
            const size_t end = c + 1 < columns.size() ? columns[c + 1].start : std::wstring::npos;
            const std::wstring cell =
                start < line.size() ? line.substr(start, end == std::wstring::npos ? end : end - start) : std::wstring();
            row.values.emplace_back(columns[c].name, Trimmed(cell));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace engine::summary
