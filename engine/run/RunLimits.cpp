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

int KeyIndex(const std::wstring& name) {
    for (int i = 0; i < 4; ++i)
        if (name == kLimitKeys[i]) return i;
    return -1;
}

}  // namespace

RunLimits ApplyLimitSettings(const std::vector<LimitSetting>& settings, std::vector<std::wstring>& problems) {
    RunLimits limits;
    for (const LimitSetting& setting : settings) {
        if (!setting.value) continue;
        if (std::wstring(setting.name) == L"PoolSize") {
            if (const std::optional<int> size = util::text::ParsePoolSize(*setting.value)) {
                limits.poolSize = *size;
                limits.sources[3] = setting.source;
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
        limits.sources[KeyIndex(setting.name)] = setting.source;
    }
    return limits;
}

std::vector<std::wstring> LimitLines(const RunLimits& limits) {
    const std::wstring values[4] = {
        std::to_wstring(limits.commandMs / 1000), std::to_wstring(limits.longCommandMs / 1000),
        std::to_wstring(limits.runMs / 1000),
        limits.poolSize == RunLimits::kPerWorker ? std::wstring(L"per-worker") : std::to_wstring(limits.poolSize)};
    std::vector<std::wstring> lines;
    for (int i = 0; i < 4; ++i)
        lines.push_back(std::wstring(kLimitKeys[i]) + L"=" + values[i] + L" (" + limits.sources[i] + L")");
    return lines;
}

const wchar_t* const kLimitKeys[4] = {L"CommandSeconds", L"LongCommandSeconds", L"RunSeconds", L"PoolSize"};

DWORD PackingLimitMs(ULONGLONG bytes, const RunLimits& limits) {
    constexpr ULONGLONG kBytesPerSecond = 2ULL * 1024 * 1024;
    constexpr ULONGLONG kSpareMs = 2 * 60 * 1000;
    constexpr ULONGLONG kMostMs = 12ULL * 60 * 60 * 1000;
    const ULONGLONG needed = bytes / kBytesPerSecond * 1000 + kSpareMs;
    const ULONGLONG limit = needed > limits.longCommandMs ? needed : limits.longCommandMs;
    return static_cast<DWORD>(limit < kMostMs ? limit : kMostMs);
}

RunLimits ReadRunLimits(const toollog::LogSettings& settingsFile, const std::vector<LimitSetting>& hostSettings) {
    std::vector<LimitSetting> settings;
    for (const wchar_t* key : kLimitKeys)
        settings.push_back({key, settingsFile.Value(kLimitsSection, key), RunLimits::kSettingsFileSource});
    settings.insert(settings.end(), hostSettings.begin(), hostSettings.end());
    std::vector<std::wstring> problems;
    const RunLimits limits = ApplyLimitSettings(settings, problems);
    for (const std::wstring& problem : problems)
        toollog::Log(problem.rfind(L"PoolSize", 0) == 0 ? toollog::Entry::BadPoolSetting : toollog::Entry::BadLimitSetting,
                     problem);
    return limits;
}

}  // namespace engine::run
