#pragma once
// The two layouts WMIC writes: "LIST FULL" (Name=Value lines, an instance after each blank
// stretch) and the table form of a bare alias ("WMIC OS": a header of names, each column as
// wide as its longest entry).
#include <string>
#include <vector>

#include "summary/Properties.h"

namespace engine::summary {

// The instances of a LIST FULL report. A line without "=" inside an instance continues the
// value before it (a value with a line break).
std::vector<Properties> ParseListFull(const std::wstring& text);

// The rows of a table report: a column starts where its name starts in the header line and
// ends where the next one starts (the last one at the end of the line). Empty lines are no rows.
std::vector<Properties> ParseTable(const std::wstring& text);

}  // namespace engine::summary
