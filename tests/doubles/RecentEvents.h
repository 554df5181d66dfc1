#pragma once
// What the wevtutil double prints for "qe <log> … /f:text": a few critical, error and warning
// events of System and Application in wevtutil's text layout (English labels, ASCII, CR LF),
// none for any other log. Fixed dates, so that a run's summary can be compared with a golden file.
#include <string>

namespace doubles {

struct RecentEvent {
    const char* source;
    const char* date;
    const char* id;
    const char* task;
    const char* level;
    const char* opcode;
    const char* keyword;
    const char* user;
    const char* userName;
    const char* description;  // its lines, each ending in CR LF
};

// One event as wevtutil writes it, the n-th of its output.
inline std::string EventText(int n, const std::string& log, const RecentEvent& e) {
    return (n ? "\r\n" : "") + std::string("Event[") + std::to_string(n) + "]:\r\n  Log Name: " + log +
           "\r\n  Source: " + e.source + "\r\n  Date: " + e.date + "\r\n  Event ID: " + e.id + "\r\n  Task: " + e.task +
           "\r\n  Level: " + e.level + "\r\n  Opcode: " + e.opcode + "\r\n  Keyword: " + e.keyword +
           "\r\n  User: " + e.user + "\r\n  User Name: " + e.userName +
           "\r\n  Computer: SKELDA-DOUBLE\r\n  Description: \r\n" + e.description;
}

inline std::string RecentEventsText(const std::string& log) {
    static const char* const kServiceFailed =
        "The Skelda Double Service service failed to start due to the following error: \r\n"
        "The system cannot find the file specified.\r\n";
    static const RecentEvent kSystem[] = {
        {"Service Control Manager", "2026-12-08T09:15:02.318", "7000", "N/A", "Error", "N/A", "Classic", "N/A", "N/A",
         kServiceFailed},
        {"Microsoft-Windows-DNS-Client", "2026-12-08T08:40:11.002", "1014", "N/A", "Warning", "Info", "N/A", "S-1-5-20",
         "NT AUTHORITY\\NETWORK SERVICE",
         "Name resolution for the name skelda.example timed out after none of the configured DNS servers "
         "responded.\r\n"},
        {"Microsoft-Windows-Kernel-Power", "2026-12-07T21:03:44.655", "41", "N/A", "Critical", "Info", "N/A", "S-1-5-18",
         "NT AUTHORITY\\SYSTEM",
         "The system has rebooted without cleanly shutting down first. This error could be caused if the system "
         "stopped responding, crashed, or lost power unexpectedly.\r\n"},
        {"Service Control Manager", "2026-12-07T21:04:10.120", "7000", "N/A", "Error", "N/A", "Classic", "N/A", "N/A",
         kServiceFailed},
    };
    static const RecentEvent kApplication[] = {
        {"Application Error", "2026-12-08T10:22:31.777", "1000", "Application Crashing Events", "Error", "Info",
         "Classic", "N/A", "N/A",
         "Faulting application name: skelda-double.exe, version: 1.0.0.0, time stamp: 0x5f000000\r\n"
         "Exception code: 0xc0000005\r\n"},
    };
    std::string text;
    int n = 0;
    if (log == "System")
        for (const RecentEvent& e : kSystem) text += EventText(n++, log, e);
    if (log == "Application")
        for (const RecentEvent& e : kApplication) text += EventText(n++, log, e);
    return text;
}

}  // namespace doubles
