#pragma once
// The console host's command line.
#include <array>
#include <string>
#include <vector>

namespace collect {

struct Options {
    bool info = false;             // only tell what the engine reports about this system
    std::wstring archivePath;      // as given; empty means the default name in the current folder
    std::array<int, 8> switches{1, 1, 1, 1, 1, 1, 1, 1};
};

// Parses the arguments after the program name. Returns an error text, empty on success.
//   [--info] [--categories <list>] [<archive path>]
// <list> is "all", "none" or comma-separated category numbers 0 to 7.
std::wstring ParseOptions(const std::vector<std::wstring>& args, Options& options);

// The usage text.
const wchar_t* UsageText();

}  // namespace collect
