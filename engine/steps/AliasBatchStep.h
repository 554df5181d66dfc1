#pragma once
// The WMIC alias reports on a system without WMIC (Windows 11 24H2 turns it off, later
// releases remove it): the aliases of a catalogue folder are read from WMI by PowerShell, in as
// few processes as the command-line limit allows, and each report is written in the layout
// WMIC would have written, under the same name.
#include <functional>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "child/ChildLauncher.h"
#include "report/StepRecord.h"
#include "steps/AliasScript.h"

namespace engine::steps {

// What the aliases of one folder may take.
struct AliasLimits {
    DWORD aliasMs = INFINITE;          // each alias, inside its batch
    std::function<DWORD()> runLeftMs;  // what is left of the run as a batch starts; 0 once it passed
};

// Makes the report of every row into folder. Each PowerShell batch gets a fresh limit as it
// starts (BatchLimitMs), and each alias inside it its own. An alias that cannot be
// answered leaves a report of one line that says why, and a line in the tool log; the others
// are not affected. Adds one record per alias to records, timed from its first record to its
// last as they arrived. 1 when every report is complete.
int RunWmiAliasReports(const child::ChildLauncher& launcher, const std::vector<catalogue::CatalogueRow>& rows,
                       const std::wstring& folder, const AliasLimits& limits, std::vector<report::StepRecord>& records);

// The report of an alias whose answer is complete, as WMIC writes it: the table form for the
// alias run without LIST FULL, the list form otherwise.
std::string AliasReportBytes(const catalogue::WmiAlias& alias, const AliasAnswer& answer);

// The one line of a report whose alias could not be answered.
std::wstring AliasFailureText(const catalogue::WmiAlias& alias, const std::wstring& reason);

}  // namespace engine::steps
