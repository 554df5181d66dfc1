#pragma once
// The built-in tables behind BuildCatalogues, in the order they are entered.
#include <vector>

namespace engine::catalogue {

struct AliasRow {
    const wchar_t* alias;
    const wchar_t* description;
};

struct AliasFolder {
    const wchar_t* folder;
    std::vector<AliasRow> rows;
};

struct ClassFolder {
    const wchar_t* folder;
    std::vector<const wchar_t*> classes;
};

const std::vector<AliasFolder>& WmicTable();
const std::vector<ClassFolder>& WmiDeviceTable();
const std::vector<ClassFolder>& WmiSystemTable();

}  // namespace engine::catalogue
