#pragma once
// What each WMIC alias of the catalogue reads from WMI, so that its report can be made
// without WMIC: namespace, class, the alias's own filter and the properties that
// "WMIC <alias> LIST FULL" prints, in WMIC's order (alphabetical, case ignored).
#include <string>
#include <vector>

namespace engine::catalogue {

struct WmiAlias {
    const wchar_t* alias;       // as in the WMIC catalogue, upper case
    const wchar_t* nameSpace;   // e.g. "root\cimv2"
    const wchar_t* wmiClass;
    const wchar_t* filter;      // WQL condition of the alias, empty for all instances
    const wchar_t* properties;  // comma-separated, no blanks
};

// One row per alias of the WMIC catalogue.
const std::vector<WmiAlias>& WmiAliasTable();

// The row of an alias (exact comparison), or nullptr.
const WmiAlias* FindWmiAlias(const std::wstring& alias);

// The alias's property names in order.
std::vector<std::wstring> AliasProperties(const WmiAlias& alias);

}  // namespace engine::catalogue
