#include "Categories.h"

#include "PathText.h"

namespace skelda {

// The table is indexed by its own index field; a row out of place would switch the wrong kind.
static_assert([] {
    for (int i = 0; i < kCategories; ++i)
        if (kCategoryTable[i].index != i) return false;
    return true;
}());

int CategoryIndexOf(const std::wstring& relativePath) {
    const std::wstring head = FirstComponent(relativePath);
    for (const Category& category : kCategoryTable)
        if (head == category.folder) return category.index;
    return -1;
}

bool IsCategoryFolder(const std::wstring& name) {
    return name.find(L'\\') == std::wstring::npos && CategoryIndexOf(name) >= 0;
}

}  // namespace skelda
