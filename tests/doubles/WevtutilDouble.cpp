// Test double of wevtutil: "el" prints EventLogListing(); "epl <log> <file>" writes a stand-in
// file that names the log, as large as an empty log's export or, for a log that holds events,
// larger; "al <file> /l:<locale>" writes the log's texts to LocaleMetaData\<name>_<LCID>.MTA
// beside it; "qe <log> … /f:text" prints RecentEventsText(log). Other commands fail with ERROR_INVALID_PARAMETER.
// SKELDA_DOUBLES_TEXTS=fail: "al" fails (exit 15002); =silent: it ends with 0 and writes nothing,
// as wevtutil can.
// With a field profile, the listing is the profile's channels and each call takes its time.
// SKELDA_DOUBLES_LISTING_FAILS=1: "el" fails as with the Event Log service stopped, a few names
// on its output before the error, the message on its error output, the error code as exit code.
#include "DoubleSupport.h"
#include "EventLogListing.h"
#include "FieldProfile.h"
#include "RecentEvents.h"

using namespace doubles;

namespace {

constexpr int kChannelNotFound = 15007;  // ERROR_EVT_CHANNEL_NOT_FOUND
constexpr int kRpcServerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE
constexpr int kPublisherMetadataNotFound = 15002;  // ERROR_EVT_PUBLISHER_METADATA_NOT_FOUND

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
    if (!field) kind = EventLogHoldsEvents(name) ? ChannelKind::Events : ChannelKind::Empty;
    // As wevtutil does, an existing file is replaced only when asked to.
    if (!overwrite && ::GetFileAttributesW(positional[1].c_str()) != INVALID_FILE_ATTRIBUTES) {
        WriteErr("Failed to export log " + name + ". The file exists.\r\n");
        return ERROR_FILE_EXISTS;
    }
    // An empty log's export is its file header and one empty chunk; each further chunk holds events.
    std::string bytes = "SKELDA TEST DOUBLE EVTX\r\nlog: " + name + "\r\n";
    const size_t chunks = kind == ChannelKind::Empty ? 1 : kind == ChannelKind::Events ? 2 : 16;
    bytes.resize(4096 + chunks * 65536, '\0');
    if (!WriteWholeFile(positional[1], bytes)) {
        WriteErr("Failed to export log " + name + ". The system cannot find the path specified.\r\n");
        return ERROR_PATH_NOT_FOUND;
    }
    return 0;
}

// "al <file> /l:<locale>": the texts of an exported log, for one locale.
int ArchiveLog(const std::vector<std::wstring>& args) {
    std::wstring file, locale;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i].compare(0, 3, L"/l:") == 0 || args[i].compare(0, 8, L"/locale:") == 0)
            locale = args[i].substr(args[i].find(L':') + 1);
        else if (!args[i].empty() && args[i][0] != L'/')
            file = args[i];
    }
    const LCID lcid = locale.empty() ? 0 : ::LocaleNameToLCID(locale.c_str(), 0);
    if (file.empty() || lcid == 0) {
        WriteErr("Failed to read command line. The parameter is incorrect.\r\n");
        return ERROR_INVALID_PARAMETER;
    }
    SpendFieldCosts("wevtutil", {"al"});
    if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WriteErr("Failed to archive log " + Utf8(file) + ". The system cannot find the file specified.\r\n");
        return ERROR_FILE_NOT_FOUND;
    }
    const std::wstring texts = Knob(L"SKELDA_DOUBLES_TEXTS");
    if (texts == L"fail") {
        WriteErr("Failed to archive log " + Utf8(file) + ". The publisher metadata cannot be found.\r\n");
        return kPublisherMetadataNotFound;
    }
    if (texts == L"silent") return 0;
    const size_t slash = file.rfind(L'\\');
    const std::wstring folder = (slash == std::wstring::npos ? L"." : file.substr(0, slash)) + L"\\LocaleMetaData";
    std::wstring name = file.substr(slash == std::wstring::npos ? 0 : slash + 1);
    if (name.size() > 5 && _wcsicmp(name.c_str() + name.size() - 5, L".evtx") == 0) name.resize(name.size() - 5);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    if (!WriteWholeFile(folder + L"\\" + name + L"_" + std::to_wstring(lcid) + L".MTA",
                        "SKELDA TEST DOUBLE MTA\r\nlocale: " + Utf8(locale) + "\r\n")) {
        WriteErr("Failed to archive log " + Utf8(file) + ". Access is denied.\r\n");
        return ERROR_ACCESS_DENIED;
    }
    return 0;
}

// "qe <log> [/q:…] /f:text …": the log's recent events as text; only the text layout is known.
int QueryEvents(const std::vector<std::wstring>& args) {
    std::wstring log;
    bool text = false;
    for (size_t i = 2; i < args.size(); ++i) {
        if (EqualsNoCase(args[i], L"/f:text") || EqualsNoCase(args[i], L"/format:text")) text = true;
        else if (!args[i].empty() && args[i][0] != L'/' && log.empty()) log = args[i];
    }
    if (log.empty() || !text) {
        WriteErr("Failed to read command line. The parameter is incorrect.\r\n");
        return ERROR_INVALID_PARAMETER;
    }
    SpendFieldCosts("wevtutil", {"qe"});
    const std::string name = Utf8(log);
    const FieldProfile* field = ActiveFieldProfile();
    ChannelKind kind = ChannelKind::Empty;
    if (field ? !FindChannel(*field, name, kind) : !IsListedEventLog(name)) {
        WriteErr("Failed to query log " + name + ". The specified channel could not be found.\r\n");
        return kChannelNotFound;
    }
    WriteOut(RecentEventsText(name));
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
    if (args.size() >= 2 && (EqualsNoCase(args[1], L"al") || EqualsNoCase(args[1], L"archive-log")))
        return ArchiveLog(args);
    if (args.size() >= 2 && (EqualsNoCase(args[1], L"qe") || EqualsNoCase(args[1], L"query-events")))
        return QueryEvents(args);
    WriteErr("The parameter is incorrect.\r\n");
    return ERROR_INVALID_PARAMETER;
}
