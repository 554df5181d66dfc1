#include "summary/PowerShellList.h"

#include "summary/ToolText.h"

namespace engine::summary {

std::vector<Properties> ParsePowerShellList(const std::wstring& text) {
    InstanceLines instances;
    for (const std::wstring& line : SplitLines(text)) {
        if (instances.EndsAtBlank(line)) continue;
        if (line[0] == L' ' || line[0] == L'\t') {
            if (std::wstring* value = instances.LastValue()) *value += (value->empty() ? L"" : L" ") + Trimmed(line);
            continue;
        }
        size_t colon = line.find(L" : ");
        size_t valueAt = colon + 3;
        if (colon == std::wstring::npos && line.size() >= 2 && line.compare(line.size() - 2, 2, L" :") == 0) {
            colon = line.size() - 2;
            valueAt = line.size();
        }
        if (colon == std::wstring::npos) continue;  // a heading or an error line: no property
        instances.Add(Trimmed(line.substr(0, colon)), Trimmed(line.substr(valueAt)));
    }
    return instances.Take();
}

}  // namespace engine::summary
