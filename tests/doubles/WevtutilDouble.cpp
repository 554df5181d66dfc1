// Test double of wevtutil: "el" prints EventLogListing(); "epl <log> <file>" writes a small
// stand-in file that names the log. Other commands fail with ERROR_INVALID_PARAMETER.
// With a field profile, the listing is the profile's channels and each call takes its time.
// SKELDA_DOUBLES_LISTING_FAILS=1: "el" fails as with the Event Log service stopped, a few names
// on its output before the error, the message on its error output, the error code as exit code.
#include "DoubleSupport.h"
#include "EventLogListing.h"
#include "FieldProfile.h"

using namespace doubles;

namespace {

constexpr int kChannelNotFound = 15007;  // ERROR_EVT_CHANNEL_NOT_FOUND
constexpr int kRpcServerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE

int ExportLog(const std::vector<std::wstring>& args) {
    std::vector<std::wstring> positional;  // other options are accepted and ignored
    bool overwrite = false;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i].empty() || args[i][0] != L'/') positional.push_back(args[i]);
        else if (EqualsNoCase(args[i], L"/ow:true") || EqualsNoCase(args[i], L"/overwrite:true")) overwrite = true;
    }
    if (positional.size() != 2) {
        WriteErr("Failed to read command line. The parameter is incorrect.\r\n");
        return ERROR_INVALID_PARAMETER;
    }
    const std::string name = Utf8(positional[0]);
    const FieldProfile* field = ActiveFieldProfile();
    ChannelKind kind = ChannelKind::Empty;
    if (field ? !FindChannel(*field, name, kind) : !IsListedEventLog(name)) {
        WriteErr("Failed to export log " + name + ". The specified channel could not be found.\r\n");
        return kChannelNotFound;
    }
    static const char* const kKinds[] = {"epl empty", "epl events", "epl large"};
    SpendFieldCosts("wevtutil", {kKinds[static_cast<int>(kind)]});
    // As wevtutil does, an existing file is replaced only when asked to.
    if (!overwrite && ::GetFileAttributesW(positional[1].c_str()) != INVALID_FILE_ATTRIBUTES) {
        WriteErr("Failed to export log " + name + ". The file exists.\r\n");
        return ERROR_FILE_EXISTS;
    }
    if (!WriteWholeFile(positional[1], "SKELDA TEST DOUBLE EVTX\r\nlog: " + name + "\r\n")) {
        WriteErr("Failed to export log " + name + ". The system cannot find the path specified.\r\n");
        return ERROR_PATH_NOT_FOUND;
    }
    return 0;
}

}  // namespace

int main() {
    RecordCall();
    HangIfEveryToolHangs();
    const std::vector<std::wstring> args = Arguments();
    if (args.size() == 2 && (EqualsNoCase(args[1], L"el") || EqualsNoCase(args[1], L"enum-logs"))) {
        SpendFieldCosts("wevtutil", {"el"});
        if (Knob(L"SKELDA_DOUBLES_LISTING_FAILS") == L"1") {
            WriteOut("Application\r\nSystem\r\n");
            WriteErr("Failed to enumerate log channels. The RPC server is unavailable.\r\n");
            return kRpcServerUnavailable;
        }
        const FieldProfile* field = ActiveFieldProfile();
        WriteOut(field ? ChannelListing(*field) : EventLogListing());
        return 0;
    }
    if (args.size() >= 2 && (EqualsNoCase(args[1], L"epl") || EqualsNoCase(args[1], L"export-log")))
        return ExportLog(args);
    WriteErr("The parameter is incorrect.\r\n");
    return ERROR_INVALID_PARAMETER;
}
