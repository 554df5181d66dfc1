#pragma once
// The event-log listing that the wevtutil test double prints for "wevtutil el", shared with
// the tests that check what a collector made of it. ASCII only, every line ends in CRLF.
// It holds names with "/", with blanks and with "%", one blank line and one one-character line,
// and is padded with numbered channels to well over 8 KB, so a reader gets it in several reads.
// With the knob SKELDA_DOUBLES_EVENT_LOGS=short (DoubleSettings.h) the padding is left out: a
// full collection then exports 14 logs instead of 214, for the runs that test something else.
#include <string>
#include <vector>

#include "DoubleSettings.h"

namespace doubles {

// The lines in listing order; "" is the blank line.
inline std::vector<std::string> EventLogLines() {
    std::vector<std::string> lines = {
        "Application",
        "HardwareEvents",
        "Internet Explorer",
        "Key Management Service",
        "Microsoft-Windows-Kernel-PnP/Configuration",
        "Microsoft-Windows-Kernel-PnP/Device Management",
        "Security",
        "Setup",
        "",
        "System",
        "X",
        "Contoso-Sync%Operational",
        "Windows PowerShell",
    };
    const int padding = Knob(L"SKELDA_DOUBLES_EVENT_LOGS") == L"short" ? 0 : 200;
    for (int i = 1; i <= padding; ++i) {
        const std::string n = std::to_string(1000 + i).substr(1);
        lines.push_back("Microsoft-Windows-SkeldaTestDouble-Channel" + n + "/Operational");
    }
    lines.push_back("ForwardedEvents");
    return lines;
}

// The exact bytes of "wevtutil el".
inline std::string EventLogListing() {
    std::string text;
    for (const std::string& line : EventLogLines()) text += line + "\r\n";
    return text;
}

// The logs of the listing that hold events (the rest are empty, as most channels of a PC are):
// their exports are larger than an empty log, and only they get texts ("wevtutil al").
inline bool EventLogHoldsEvents(const std::string& name) {
    for (const char* busy : {"Application", "Security", "Setup", "System", "Windows PowerShell"})
        if (name == busy) return true;
    return false;
}

// A name that "wevtutil epl" accepts: any non-blank line of the listing.
inline bool IsListedEventLog(const std::string& name) {
    if (name.empty()) return false;
    for (const std::string& line : EventLogLines())
        if (line == name) return true;
    return false;
}

}  // namespace doubles
