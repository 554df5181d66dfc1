#include "summary/PowerShellList.h"

#include "summary/ToolText.h"

namespace engine::summary {

std::vector<Properties> ParsePowerShellList(const std::wstring& text) {
    std::vector<Properties> instances;
    bool inInstance = false;
    for (const std::wstring& line : SplitLines(text)) {
        if (Trimmed(line).empty()) {
            inInstance = false;
            continue;
        }
        const bool continues = line[0] == L' ' || line[0] == L'\t';
        if (continues) {
            if (inInstance && !instances.back().values.empty()) {
                std::wstring& value = instances.back().values.back().second;
                value += (value.empty() ? L"" : L" ") + Trimmed(line);
            }
            continue;
        }
        size_t colon = line.find(L" : ");
        size_t valueAt = colon + 3;
        if (colon == std::wstring::npos && line.size() >= 2 && line.compare(line.size() - 2, 2, L" :") == 0) {
            colon = line.size() - 2;
            valueAt = line.size();
        }
        if (colon == std::wstring::npos) continue;  // a heading or an error line: no property
        if (!inInstance) {
            instances.emplace_back();
            inInstance = true;
        }
        instances.back().values.emplace_back(Trimmed(line.substr(0, colon)), Trimmed(line.substr(valueAt)));
    }
    return instances;
}

}  // namespace engine::summary
