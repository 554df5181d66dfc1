#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "WmiAliasSources.h"
#include "WmiAliasTable.h"

using namespace skelda;

namespace {

std::vector<std::wstring> Names(const wchar_t* list) {
    const WmiAlias row{L"", L"", L"", L"", list};
    return AliasProperties(row);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(WmiAliasSourcesTest, EveryAliasOfTheTableHasExactlyOneSource) {
    std::set<std::wstring> sourced;
    for (const WmiAliasSource& source : WmiAliasSources()) {
        EXPECT_TRUE(sourced.insert(source.alias).second) << source.alias;
        EXPECT_NE(FindWmiAlias(source.alias), nullptr) << source.alias;
    }
    EXPECT_EQ(sourced.size(), WmiAliasTable().size());
}

// The table drifts from the evidence when a list is edited without its source: a captured list
// must be the capture, a partial capture its first lines, and a property left out by a rule
// must stay out.
TEST(WmiAliasSourcesTest, EveryListAgreesWithItsSource) {
    for (const WmiAliasSource& source : WmiAliasSources()) {
        SCOPED_TRACE(testing::Message() << "alias " << testing::PrintToString(std::wstring(source.alias)));
        const std::vector<std::wstring> table = AliasProperties(*FindWmiAlias(source.alias));
        const std::vector<std::wstring> captured = Names(source.captured);
        const std::vector<std::wstring> leftOut = Names(source.leftOut);
        switch (source.evidence) {
            case ListEvidence::Capture:
                EXPECT_NE(std::wstring(source.seen), L"");
                EXPECT_EQ(table, captured);
                break;
            case ListEvidence::PartialCapture:
                EXPECT_NE(std::wstring(source.seen), L"");
                ASSERT_FALSE(captured.empty());
                ASSERT_GE(table.size(), captured.size());
                EXPECT_TRUE(std::equal(captured.begin(), captured.end(), table.begin()));
                break;
            case ListEvidence::Inferred:
                EXPECT_EQ(std::wstring(source.seen), L"");
                EXPECT_NE(std::wstring(source.rule), L"");
                EXPECT_FALSE(leftOut.empty());
                break;
            case ListEvidence::Documented:
                EXPECT_EQ(std::wstring(source.seen), L"");
                EXPECT_EQ(std::wstring(source.rule), L"");
                EXPECT_TRUE(leftOut.empty());
                break;
        }
        // A capture that leaves properties out says which; a rule names what it leaves out.
        if (!leftOut.empty() && source.evidence != ListEvidence::Capture) {
            EXPECT_NE(std::wstring(source.rule), L"");
        }
        for (const std::wstring& name : leftOut) EXPECT_FALSE(Contains(table, name)) << name.c_str();
        // The list and what it leaves out together are the class's properties: no name twice.
        std::set<std::wstring> all;
        for (const std::wstring& name : table) all.insert(Lower(name));
        for (const std::wstring& name : leftOut) EXPECT_TRUE(all.insert(Lower(name)).second) << name.c_str();
    }
}

TEST(WmiAliasSourcesTest, TheCapturedBiosListIsWmicsTwentyFive) {
    const std::vector<std::wstring> bios = AliasProperties(*FindWmiAlias(L"BIOS"));
    EXPECT_EQ(bios.size(), 25u);
    EXPECT_FALSE(Contains(bios, L"Caption"));
    EXPECT_EQ(bios.front(), L"BiosCharacteristics");
    EXPECT_EQ(bios.back(), L"Version");
}

}  // namespace
