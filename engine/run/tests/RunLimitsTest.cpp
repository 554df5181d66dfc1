// How long a run and its commands may take, and how many children run at once: settings that
// are not limits keep the defaults and are named.
#include <gtest/gtest.h>

#include "toollog/LogSettings.h"
#include "run/RunLimits.h"

namespace {

TEST(RunLimitsTest, BadValuesKeepTheDefaultAndAreNamed) {
    std::vector<std::wstring> problems;
    const engine::run::RunLimits limits = engine::run::ApplyLimitSettings(
        {{L"CommandSeconds", L"-5"},
         {L"RunSeconds", L"0"},
         {L"LongCommandSeconds", L"99999999"},
         {L"CommandSeconds", L"ten"},
         {L"RunSeconds", std::nullopt}},
        problems);
    const engine::run::RunLimits defaults;
    EXPECT_EQ(limits.commandMs, defaults.commandMs);
    EXPECT_EQ(limits.runMs, defaults.runMs);
    EXPECT_EQ(limits.longCommandMs, defaults.longCommandMs);
    EXPECT_EQ(problems, (std::vector<std::wstring>{L"CommandSeconds=\"-5\"", L"RunSeconds=\"0\"",
                                                   L"LongCommandSeconds=\"99999999\"", L"CommandSeconds=\"ten\""}));
    // A later setting (the host's option) wins over an earlier one (the settings file).
    problems.clear();
    const engine::run::RunLimits set =
        engine::run::ApplyLimitSettings({{L"CommandSeconds", L"30"}, {L"CommandSeconds", L" 5 "}, {L"RunSeconds", L"86400"}},
                                   problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(set.commandMs, 5000u);
    EXPECT_EQ(set.runMs, 86400000u);
}

TEST(RunLimitsTest, PoolSizeFromOneToSixtyFourOrPerWorkerElseTheDefault) {
    std::vector<std::wstring> problems;
    const engine::run::RunLimits limits = engine::run::ApplyLimitSettings(
        {{L"PoolSize", L"0"}, {L"PoolSize", L"-3"}, {L"PoolSize", L"4294967297"}, {L"PoolSize", L"65"}}, problems);
    EXPECT_EQ(limits.poolSize, engine::run::RunLimits::kDefaultPoolSize);
    EXPECT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], L"PoolSize=\"0\"");
    problems.clear();
    EXPECT_EQ(engine::run::ApplyLimitSettings({{L"PoolSize", L" 64 "}}, problems).poolSize, 64);
    EXPECT_EQ(engine::run::ApplyLimitSettings({{L"PoolSize", L"3"}, {L"PoolSize", L"PER-WORKER"}}, problems).poolSize,
              engine::run::RunLimits::kPerWorker);
    EXPECT_TRUE(problems.empty());
}

TEST(RunLimitsTest, TheSettingsFileIsTheOneTheToolLogRead) {
    const engine::run::RunLimits limits = engine::run::ReadRunLimits(
        toollog::LogSettings::Parse("[Limits]\r\nCommandSeconds=12\r\n[Other]\r\nRunSeconds=1\r\n"));
    EXPECT_EQ(limits.commandMs, 12000u);
    EXPECT_EQ(limits.runMs, engine::run::RunLimits().runMs);
    // An untrusted file was never read: its settings are empty and the defaults hold.
    EXPECT_EQ(engine::run::ReadRunLimits(toollog::LogSettings()).runMs, engine::run::RunLimits().runMs);
}

// The report says which limits held and who set each: a bad value leaves the source as it was.
TEST(RunLimitsTest, EachLimitNamesWhereItCameFrom) {
    const engine::run::RunLimits limits = engine::run::ReadRunLimits(
        toollog::LogSettings::Parse("[Limits]\r\nCommandSeconds=12\r\nRunSeconds=7200\r\nPoolSize=3\r\n"),
        {{L"CommandSeconds", L"5", L"console host"}, {L"RunSeconds", L"never", L"console host"}});
    EXPECT_EQ(engine::run::LimitLines(limits),
              (std::vector<std::wstring>{L"CommandSeconds=5 (console host)", L"LongCommandSeconds=1800 (default)",
                                         L"RunSeconds=7200 (logCfg.ini)", L"PoolSize=3 (logCfg.ini)"}));
    std::vector<std::wstring> problems;
    EXPECT_EQ(engine::run::LimitLines(engine::run::ApplyLimitSettings({{L"PoolSize", L"per-worker", L"x"}}, problems))[3],
              L"PoolSize=per-worker (x)");
}

// Packing gets time for what it packs, whatever is left of the run.
TEST(RunLimitsTest, PackingHasALimitOfItsOwnFromTheSizeToPack) {
    const engine::run::RunLimits limits;  // long commands: 30 minutes
    EXPECT_EQ(engine::run::PackingLimitMs(0, limits), limits.longCommandMs);
    const ULONGLONG tenGiB = 10ULL << 30;  // 5120 s at 2 MiB/s, and two minutes to spare
    EXPECT_EQ(engine::run::PackingLimitMs(tenGiB, limits), (5120u + 120u) * 1000u);
    EXPECT_EQ(engine::run::PackingLimitMs(1ULL << 50, limits), 12u * 60 * 60 * 1000);
}

}  // namespace
