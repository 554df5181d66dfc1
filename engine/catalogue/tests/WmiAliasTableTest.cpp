#include <gtest/gtest.h>

#include <cwctype>
#include <set>

#include "catalogue/Catalogue.h"
#include "catalogue/WmiAliasTable.h"

using namespace engine::catalogue;

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST(WmiAliasTableTest, CoversExactlyTheAliasesOfTheWmicCatalogue) {
    FolderCatalogue wmic, device, system;
    ASSERT_EQ(BuildCatalogues(wmic, device, system), 1);
    std::set<std::wstring> catalogueAliases;
    for (const auto& [folder, rows] : wmic)
        for (const auto& row : rows) catalogueAliases.insert(row.key);
    std::set<std::wstring> tableAliases;
    for (const WmiAlias& row : WmiAliasTable()) tableAliases.insert(row.alias);
    EXPECT_EQ(WmiAliasTable().size(), 71u);  // no alias twice
    EXPECT_EQ(tableAliases, catalogueAliases);
    for (const std::wstring& alias : catalogueAliases) {
        const WmiAlias* row = FindWmiAlias(alias);
        ASSERT_NE(row, nullptr) << alias.c_str();
        EXPECT_EQ(row->alias, alias);
    }
    EXPECT_EQ(FindWmiAlias(L"os"), nullptr);  // aliases compare exactly, as the catalogue's do
}

TEST(WmiAliasTableTest, EveryRowNamesAClassAndListsPropertiesInWmicOrder) {
    for (const WmiAlias& row : WmiAliasTable()) {
        SCOPED_TRACE(testing::Message() << "alias index " << (&row - WmiAliasTable().data()));
        EXPECT_EQ(std::wstring(row.nameSpace).compare(0, 10, L"root\\cimv2"), 0);
        EXPECT_EQ(std::wstring(row.wmiClass).compare(0, 6, L"Win32_"), 0);
        const std::vector<std::wstring> names = AliasProperties(row);
        ASSERT_FALSE(names.empty());
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_FALSE(names[i].empty());
            EXPECT_EQ(names[i].find_first_not_of(
                          L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_"),
                      std::wstring::npos);
            // WMIC lists properties alphabetically, case ignored; a repeat would be a typing slip.
            if (i > 0) {
                EXPECT_LT(Lower(names[i - 1]), Lower(names[i])) << names[i].c_str();
            }
        }
    }
}

TEST(WmiAliasTableTest, PropertiesSplitAtEveryComma) {
    const WmiAlias two{L"X", L"root\\cimv2", L"Win32_X", L"", L"Element,Setting"};
    EXPECT_EQ(AliasProperties(two), (std::vector<std::wstring>{L"Element", L"Setting"}));
    const WmiAlias one{L"X", L"root\\cimv2", L"Win32_X", L"", L"Name"};
    EXPECT_EQ(AliasProperties(one), std::vector<std::wstring>{L"Name"});
    EXPECT_EQ(AliasProperties(*FindWmiAlias(L"VOLUMEQUOTASETTING")),
              (std::vector<std::wstring>{L"Element", L"Setting"}));
}

}  // namespace
