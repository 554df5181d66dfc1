#pragma once
// The console host's command line.
#include <array>
#include <string>
#include <vector>

#include "Categories.h"

namespace collect {

struct Options {
    bool info = false;             // only tell what the engine reports about this system
    std::wstring archivePath;      // as given; empty means the default name in the current folder
    std::array<int, skelda::kCategories> switches{1, 1, 1, 1, 1, 1, 1, 1};
};

// Parses the arguments after the program name. Returns an error text, empty on success.
//   [--info] [--categories <list>] [<archive path>]
// <list> is "all", "none" or comma-separated category numbers of the category table.
std::wstring ParseOptions(const std::vector<std::wstring>& args, Options& options);

// The usage text.
std::wstring UsageText();

}  // namespace collect
