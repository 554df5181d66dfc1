#include "RunLimits.h"

#include "LimitText.h"
#include "LogEntries.h"

namespace engine {

namespace {

DWORD* Target(RunLimits& limits, const std::wstring& name) {
    if (name == L"CommandSeconds") return &limits.commandMs;
    if (name == L"LongCommandSeconds") return &limits.longCommandMs;
    if (name == L"RunSeconds") return &limits.runMs;
    return nullptr;
}

std::optional<std::wstring> ReadEnvironment(const wchar_t* name) {
    wchar_t value[64] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 64);
    if (n == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (n >= 64) return std::wstring(L"(too long)");
    return std::wstring(value, n);
}

}  // namespace

RunLimits ApplyLimitSettings(const std::vector<LimitSetting>& settings, std::vector<std::wstring>& problems) {
    RunLimits limits;
    for (const LimitSetting& setting : settings) {
        if (!setting.value) continue;
        if (std::wstring(setting.name) == L"PoolSize") {
            if (const std::optional<int> size = skelda::ParsePoolSize(*setting.value)) {
                limits.poolSize = *size;
            } else {
                problems.push_back(std::wstring(setting.name) + L"=\"" + *setting.value + L"\"");
            }
            continue;
        }
        DWORD* target = Target(limits, setting.name);
        if (!target) continue;
        const std::optional<unsigned long> seconds = skelda::ParseLimitSeconds(*setting.value);
        if (!seconds) {
            problems.push_back(std::wstring(setting.name) + L"=\"" + *setting.value + L"\"");
            continue;
        }
        *target = *seconds * 1000;
    }
    return limits;
}

RunLimits ReadRunLimits(const toollog::LogSettings& settingsFile) {
    static const wchar_t* const kKeys[] = {L"CommandSeconds", L"LongCommandSeconds", L"RunSeconds", L"PoolSize"};
    static const wchar_t* const kVariables[] = {L"ORVANE_SKELDA_COMMAND_SECONDS", L"ORVANE_SKELDA_LONG_COMMAND_SECONDS",
                                                L"ORVANE_SKELDA_RUN_SECONDS", L"ORVANE_SKELDA_POOL"};
    std::vector<LimitSetting> settings;
    for (const wchar_t* key : kKeys) settings.push_back({key, settingsFile.Value(kLimitsSection, key)});
    for (size_t i = 0; i < 4; ++i) settings.push_back({kKeys[i], ReadEnvironment(kVariables[i])});
    std::vector<std::wstring> problems;
    const RunLimits limits = ApplyLimitSettings(settings, problems);
    for (const std::wstring& problem : problems)
        toollog::Log(problem.rfind(L"PoolSize", 0) == 0 ? toollog::Entry::BadPoolSetting : toollog::Entry::BadLimitSetting,
                     problem);
    return limits;
}

}  // namespace engine
