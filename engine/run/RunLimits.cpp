#include "run/RunLimits.h"

#include "text/LimitText.h"
#include "toollog/LogEntries.h"

namespace engine::run {

namespace {

DWORD* Target(RunLimits& limits, const std::wstring& name) {
    if (name == L"CommandSeconds") return &limits.commandMs;
    if (name == L"LongCommandSeconds") return &limits.longCommandMs;
    if (name == L"RunSeconds") return &limits.runMs;
    return nullptr;
}

}  // namespace

RunLimits ApplyLimitSettings(const std::vector<LimitSetting>& settings, std::vector<std::wstring>& problems) {
    RunLimits limits;
    for (const LimitSetting& setting : settings) {
        if (!setting.value) continue;
        if (std::wstring(setting.name) == L"PoolSize") {
            if (const std::optional<int> size = util::text::ParsePoolSize(*setting.value)) {
                limits.poolSize = *size;
            } else {
                problems.push_back(std::wstring(setting.name) + L"=\"" + *setting.value + L"\"");
            }
            continue;
        }
        DWORD* target = Target(limits, setting.name);
        if (!target) continue;
        const std::optional<unsigned long> seconds = util::text::ParseLimitSeconds(*setting.value);
        if (!seconds) {
            problems.push_back(std::wstring(setting.name) + L"=\"" + *setting.value + L"\"");
            continue;
        }
        *target = *seconds * 1000;
    }
    return limits;
}

const wchar_t* const kLimitKeys[4] = {L"CommandSeconds", L"LongCommandSeconds", L"RunSeconds", L"PoolSize"};

RunLimits ReadRunLimits(const toollog::LogSettings& settingsFile, const std::vector<LimitSetting>& hostSettings) {
    std::vector<LimitSetting> settings;
    for (const wchar_t* key : kLimitKeys) settings.push_back({key, settingsFile.Value(kLimitsSection, key)});
    settings.insert(settings.end(), hostSettings.begin(), hostSettings.end());
    std::vector<std::wstring> problems;
    const RunLimits limits = ApplyLimitSettings(settings, problems);
    for (const std::wstring& problem : problems)
        toollog::Log(problem.rfind(L"PoolSize", 0) == 0 ? toollog::Entry::BadPoolSetting : toollog::Entry::BadLimitSetting,
                     problem);
    return limits;
}

}  // namespace engine::run
