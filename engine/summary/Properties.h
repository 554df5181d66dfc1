#pragma once
// One instance as a tool lists it: its properties by name, in the order they came.
#include <string>
#include <utility>
#include <vector>

namespace engine::summary {

struct Properties {
    std::vector<std::pair<std::wstring, std::wstring>> values;

    // The value of the property of that name (compared without regard to ASCII case); nullptr
    // where there is none.
    const std::wstring* Find(const std::wstring& name) const;
    // The value, or empty where there is none.
    std::wstring Get(const std::wstring& name) const;
};

// A whole number in text (blanks around it allowed); false for empty text or anything else.
bool ParseNumber(const std::wstring& text, unsigned long long& number);

}  // namespace engine::summary
