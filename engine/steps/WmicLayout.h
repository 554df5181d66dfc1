#pragma once
// The two report layouts of WMIC, rebuilt from WMI instances read another way.
#include <string>
#include <vector>

namespace engine::steps {

// One instance: its values in the order of the property list; an absent value is empty.
using WmiInstance = std::vector<std::wstring>;

// "WMIC <alias> LIST FULL": before each instance two blank lines, then one "Name=Value" line
// per property ("Name=" when empty); after the last instance two more blank lines. Lines end
// in CR LF, and so does every line break inside a value. No instances: empty text.
std::wstring ListFullText(const std::vector<std::wstring>& properties, const std::vector<WmiInstance>& instances);

// "WMIC <alias>" without a verb: a header line of the names and one line per instance, each
// column as wide as its longest entry (name or value) plus two blanks, trailing blanks kept,
// then one blank line. A line break inside a value becomes a blank so that a row stays one
// line. No instances: empty text.
std::wstring TableText(const std::vector<std::wstring>& properties, const std::vector<WmiInstance>& instances);

// The bytes WMIC writes to a file: UTF-16LE after a byte-order mark.
std::string Utf16LeWithBom(const std::wstring& text);

}  // namespace engine::steps
