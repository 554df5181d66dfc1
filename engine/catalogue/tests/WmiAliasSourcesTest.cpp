#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "catalogue/WmiAliasSources.h"
#include "catalogue/WmiAliasTable.h"

using namespace engine::catalogue;

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
// must be the capture, and a property left out by a capture or a rule must stay out.
TEST(WmiAliasSourcesTest, EveryListAgreesWithItsSource) {
    for (const WmiAliasSource& source : WmiAliasSources()) {
        SCOPED_TRACE(testing::Message() << "alias " << testing::PrintToString(std::wstring(source.alias)));
        const std::vector<std::wstring> table = AliasProperties(*FindWmiAlias(source.alias));
        const std::vector<std::wstring> leftOut = Names(source.leftOut);
        switch (source.evidence) {
            case ListEvidence::Capture:
                EXPECT_NE(std::wstring(source.seen), L"");
                EXPECT_EQ(table, Names(source.captured));
                break;
            case ListEvidence::Inferred:
                // A rule may also confirm the whole documented list (nothing left out).
                EXPECT_EQ(std::wstring(source.seen), L"");
                EXPECT_NE(std::wstring(source.rule), L"");
                break;
            case ListEvidence::Documented:
                EXPECT_EQ(std::wstring(source.seen), L"");
                EXPECT_EQ(std::wstring(source.rule), L"");
                EXPECT_TRUE(leftOut.empty());
                break;
        }
        for (const std::wstring& name : leftOut) EXPECT_FALSE(Contains(table, name)) << name.c_str();
        // The list and what it leaves out together are the class's properties: no name twice.
        std::set<std::wstring> all;
        for (const std::wstring& name : table) all.insert(Lower(name));
        for (const std::wstring& name : leftOut) EXPECT_TRUE(all.insert(Lower(name)).second) << name.c_str();
    }
}

// A rule drawn from captures holds for the captures it names and for every alias that follows
// it: physical elements without Caption and CreationClassName, storage extents without the
// three names of their system's class.
TEST(WmiAliasSourcesTest, EachRuleLeavesOutWhatItsCapturesLeaveOut) {
    const struct {
        const wchar_t* ruleMark;
        std::vector<std::wstring> captured;
        std::vector<std::wstring> leftOut;
    } rules[] = {
        {L"CIM_PhysicalElement", {L"BASEBOARD", L"MEMORYCHIP"}, {L"Caption", L"CreationClassName"}},
        {L"CIM_StorageExtent",
         {L"LOGICALDISK"},
         {L"CreationClassName", L"SystemCreationClassName", L"SystemName"}},
        {L"CIM_Product", {L"CSPRODUCT"}, {L"Caption"}},
        {L"Win32_Account", {L"USERACCOUNT"}, {L"Caption"}},
    };
    for (const auto& rule : rules) {
        std::vector<std::wstring> aliases = rule.captured;
        for (const WmiAliasSource& source : WmiAliasSources()) {
            if (source.evidence == ListEvidence::Inferred && std::wstring(source.rule).find(rule.ruleMark) == 0)
                aliases.push_back(source.alias);
        }
        EXPECT_GT(aliases.size(), rule.captured.size()) << "no alias follows the rule";
        for (const std::wstring& alias : aliases) {
            const std::vector<std::wstring> table = AliasProperties(*FindWmiAlias(alias));
            for (const std::wstring& name : rule.leftOut)
                EXPECT_FALSE(Contains(table, name)) << alias.c_str() << " lists " << name.c_str();
        }
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
