#pragma once
// Where each property list of the alias table comes from: a public capture of WMIC's own
// output, or a rule inferred from the captured aliases, or the class's documented properties
// kept as they are. The table test holds the alias table against these rows.
#include <vector>

namespace engine::catalogue {

enum class ListEvidence {
    Capture,     // a capture shows the whole FULL list: the table equals it
    Inferred,    // no capture: the class's documented properties less those a rule leaves out
    Documented,  // no capture and no rule applies: the class's documented properties
};

struct WmiAliasSource {
    const wchar_t* alias;
    ListEvidence evidence;
    const wchar_t* seen;      // where the capture was seen and on which Windows; empty without one
    const wchar_t* captured;  // the property names the capture shows, comma-separated
    const wchar_t* rule;      // the rule an inferred list follows; empty otherwise
    const wchar_t* leftOut;   // documented properties of the class that the list leaves out
};

// One row per alias of the alias table.
const std::vector<WmiAliasSource>& WmiAliasSources();

}  // namespace engine::catalogue
