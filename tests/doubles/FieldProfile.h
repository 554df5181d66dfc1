#pragma once
// The field-cost model of the test doubles: how long each tool takes on a real PC, read from
// C:\skelda-doubles\field-profile.ini (tests/field-profile.ini documents the format). Without
// that file every double answers at once. The file is found by its fixed place only, never
// through the environment: the engine gives its children a clean environment block.
#include <map>
#include <string>
#include <vector>

namespace doubles {

constexpr const wchar_t* kFieldProfileFile = L"C:\\skelda-doubles\\field-profile.ini";
// One line per double that spent a cost: "<locks or ->\t<ms waited for locks>\t<ms from the
// process's start to the end of its cost>\t<command line>", for the benchmark.
constexpr const wchar_t* kFieldCostsFile = L"C:\\skelda-doubles\\field-costs.txt";

// The entry of a tool that every call spends; no class, alias or command is named so.
constexpr const char* kEachCall = "each call";

// Time spent on one thing a tool does: totalMs of wall time, of which busyMs on the CPU; while
// lock is not empty the machine-wide lock of that name is held for the whole cost.
struct FieldCost {
    unsigned totalMs = 0;
    unsigned busyMs = 0;
    std::string lock;
};

enum class ChannelKind { Empty, Events, Large };

struct FieldProfile {
    struct Rule {
        std::string pattern;  // exact, "prefix*", "*suffix" or "*"; case-insensitive
        FieldCost cost;
    };
    std::map<std::string, std::vector<Rule>> tools;  // by lower-case section name, rules in file order
    std::vector<std::pair<std::string, ChannelKind>> channels;  // in listing order
};

// Parses the profile's text (UTF-8, byte-order mark allowed). On failure returns false and
// says which line is wrong and why.
bool ParseFieldProfile(const std::string& text, FieldProfile& profile, std::string& error);

// The cost of an item of a tool: the first rule in file order whose pattern matches; nullptr
// when none does.
const FieldCost* FindFieldCost(const FieldProfile& profile, const std::string& tool, const std::string& item);

// The kind of a listed channel (exact name); false when the name is not listed.
bool FindChannel(const FieldProfile& profile, const std::string& name, ChannelKind& kind);

// The channel names as "wevtutil el" prints them: each followed by CR LF.
std::string ChannelListing(const FieldProfile& profile);

// The items a PowerShell command line asks for: "Get-WindowsUpdateLog" and every "Win32_..."
// class its script names, once each in order; an -EncodedCommand script is decoded first.
std::vector<std::string> PowershellFieldItems(const std::vector<std::wstring>& args);

// The profile of kFieldProfileFile, read once per process; nullptr when there is none. A profile
// that does not parse ends the double with exit code 1 and the reason on standard error.
const FieldProfile* ActiveFieldProfile();

// With a profile: spends the tool's kEachCall cost, then the cost of each item that has one,
// and records the call in kFieldCostsFile. Busy time is real CPU work of this thread; the rest
// is waiting. The time since the process was created counts towards the first cost, so Wine's
// own start-up is not added on top. Without a profile: nothing.
void SpendFieldCosts(const std::string& tool, const std::vector<std::string>& items);

}  // namespace doubles
