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

// The instances of a report that lists them between blank stretches (WMIC's LIST FULL,
// PowerShell's list output), gathered line by line.
class InstanceLines {
public:
    // A blank line (blanks and tabs only) ends the open instance: true for one.
    bool EndsAtBlank(const std::wstring& line);
    // A property; it opens an instance where none is open.
    void Add(std::wstring name, std::wstring value);
    // The value of the open instance's last property, to continue it; nullptr where there is none.
    std::wstring* LastValue();
    std::vector<Properties> Take() { return std::move(instances_); }

private:
    std::vector<Properties> instances_;
    bool open_ = false;
};

// A whole number in text (blanks around it allowed); false for empty text or anything else.
bool ParseNumber(const std::wstring& text, unsigned long long& number);

}  // namespace engine::summary
