#include "win/Locales.h"

#include <windows.h>

namespace util::win {

std::vector<LocaleName> DisplayAndEnglishLocales() {
    constexpr unsigned long kEnglishUs = 0x0409;
    std::vector<LocaleName> locales;
    const LCID display = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (display != kEnglishUs && ::LCIDToLocaleName(display, name, LOCALE_NAME_MAX_LENGTH, 0) > 0)
        locales.push_back({name, display});
    locales.push_back({L"en-US", kEnglishUs});
    return locales;
}

}  // namespace util::win
