#pragma once
// The console host's command line.
#include <array>
#include <string>
#include <vector>

#include "api/Categories.h"

namespace collect {

struct Options {
    bool info = false;             // only tell what the engine reports about this system
    std::wstring archivePath;      // as given; empty means the default name in the current folder
    std::array<int, engine::api::kCategories> switches{1, 1, 1, 1, 1, 1, 1, 1};
    bool quiet = false;            // only the summary, no line per step
    bool json = false;             // one JSON object as the last line (RunLine.h)
    // Time limits in seconds, as given (validated); 0 leaves the engine's settings.
    unsigned long commandSeconds = 0;
    unsigned long longCommandSeconds = 0;
    unsigned long runSeconds = 0;
    // How many tools may run at once: a number or "per-worker", as given (validated); empty
    // leaves the engine's settings.
    std::wstring pool;
};

// Parses the arguments after the program name. Returns an error text, empty on success.
//   [--info] [--quiet] [--json] [--categories <list>] [--command-limit <s>] [--long-command-limit <s>]
//   [--run-limit <s>] [--pool <n>|per-worker] [<archive path>]
// <list> is "all", "none" or comma-separated category numbers of the category table.
std::wstring ParseOptions(const std::vector<std::wstring>& args, Options& options);

// The usage text.
std::wstring UsageText();

}  // namespace collect
