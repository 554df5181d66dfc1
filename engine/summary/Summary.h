#pragma once
// The summary at the archive's top, as facts before it is written out: sections of problems
// first, then the machine at a glance. Every row links to the archive file it came from.
#include <string>
#include <vector>

namespace engine::summary {

struct Row {
    std::vector<std::wstring> cells;
    std::wstring link;  // relative to the archive's top, "/" between folders; empty: none
};

struct Section {
    std::wstring title;
    // The name of its problem count for programs ("disks_low"); empty for a section that
    // counts nothing.
    std::string countName;
    int count = 0;                     // problems found, where available
    std::vector<std::wstring> sources; // the files it was read from, relative like Row::link
    // Why nothing can be said; empty where the section is available.
    std::wstring unavailable;
    std::wstring note;                 // one line before its rows; empty: none
    std::vector<std::wstring> headers;
    std::vector<Row> rows;

    bool Available() const { return unavailable.empty(); }
};

struct Summary {
    std::vector<Section> problems;
    std::vector<Section> machine;
};

// "name=count;…" of every problem section with a count name, "-" for a count not available:
// what the run tells its host.
std::wstring ProblemCountsText(const Summary& summary);

}  // namespace engine::summary
