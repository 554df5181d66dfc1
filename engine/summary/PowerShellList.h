#pragma once
// PowerShell's list output ("Name : Value" lines, as Get-WmiObject shows most classes): an
// instance after each blank stretch.
#include <string>
#include <vector>

#include "summary/Properties.h"

namespace engine::summary {

// The instances. A property line starts at its first column and has " : " (or ends in " :")
// after the name; a line that starts with blanks continues the value before it (PowerShell
// wraps long values and lists onto lines of their own).
std::vector<Properties> ParsePowerShellList(const std::wstring& text);

}  // namespace engine::summary
