#include <gtest/gtest.h>

#include "CollectOptions.h"

using collect::Options;
using collect::ParseOptions;

namespace {

std::array<int, engine::api::kCategories> Only(std::initializer_list<int> on) {
    std::array<int, engine::api::kCategories> switches{};
    for (int i : on) switches[i] = 1;
    return switches;
}

}  // namespace

TEST(CollectOptionsTest, EverythingByDefault) {
    Options options;
    EXPECT_EQ(ParseOptions({L"D:\\out\\a.7z"}, options), L"");
    EXPECT_EQ(options.archivePath, L"D:\\out\\a.7z");
    EXPECT_EQ(options.switches, Only({0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(CollectOptionsTest, CategoryListsSwitchExactlyThose) {
    Options options;
    EXPECT_EQ(ParseOptions({L"--categories", L"7,0,7"}, options), L"");
    EXPECT_EQ(options.switches, Only({0, 7}));
    EXPECT_EQ(ParseOptions({L"--categories", L"none"}, options), L"");
    EXPECT_EQ(options.switches, Only({}));
    EXPECT_EQ(ParseOptions({L"--categories", L"all"}, options), L"");
    EXPECT_EQ(options.switches, Only({0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(CollectOptionsTest, BadInputIsRefusedWithTheReason) {
    for (const wchar_t* list : {L"8", L"1,,2", L"3,", L"", L"12", L"-1", L"a"}) {
        Options options;
        EXPECT_NE(ParseOptions({L"--categories", list}, options).find(L"unknown category"), std::wstring::npos)
            << "list: " << testing::PrintToString(std::wstring(list));
    }
    Options options;
    EXPECT_EQ(ParseOptions({L"--categories"}, options), L"--categories needs a list");
    EXPECT_EQ(ParseOptions({L"a.7z", L"b.7z"}, options), L"more than one archive path");
    EXPECT_EQ(ParseOptions({L"--fast"}, options), L"unknown option --fast");
}

TEST(CollectOptionsTest, UsageNamesEveryCategory) {
    const std::wstring usage = collect::UsageText();
    for (const engine::api::Category& category : engine::api::kCategoryTable)
        EXPECT_NE(usage.find(std::to_wstring(category.index) + L" " + category.label), std::wstring::npos)
            << category.index;
}

TEST(CollectOptionsTest, LimitsAndQuiet) {
    Options options;
    EXPECT_EQ(ParseOptions({L"--quiet", L"--command-limit", L"5", L"--run-limit", L" 86400 ", L"--long-command-limit",
                            L"60", L"a.7z"},
                           options),
              L"");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.commandSeconds, 5u);
    EXPECT_EQ(options.runSeconds, 86400u);
    EXPECT_EQ(options.longCommandSeconds, 60u);
    for (const wchar_t* bad : {L"0", L"-5", L"86401", L"10s", L"", L"9999999999"}) {
        Options refused;
        EXPECT_NE(ParseOptions({L"--run-limit", bad}, refused).find(L"takes 1 to 86400 seconds"), std::wstring::npos)
            << testing::PrintToString(std::wstring(bad));
    }
    EXPECT_EQ(ParseOptions({L"--command-limit"}, options), L"--command-limit needs a number of seconds");
}

TEST(CollectOptionsTest, PoolSizeOrPerWorker) {
    Options options;
    EXPECT_EQ(ParseOptions({L"--pool", L"12"}, options), L"");
    EXPECT_EQ(options.pool, L"12");
    EXPECT_EQ(ParseOptions({L"--pool", L"Per-Worker"}, options), L"");
    EXPECT_EQ(options.pool, L"Per-Worker");
    for (const wchar_t* bad : {L"0", L"-1", L"65", L"1000000", L"", L"per worker", L"4x"}) {
        Options refused;
        EXPECT_NE(ParseOptions({L"--pool", bad}, refused).find(L"takes 1 to 64 tools or per-worker"),
                  std::wstring::npos)
            << testing::PrintToString(std::wstring(bad));
        EXPECT_TRUE(refused.pool.empty());
    }
    EXPECT_EQ(ParseOptions({L"--pool"}, options), L"--pool needs a number of tools");
}
